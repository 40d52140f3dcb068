#include "common/gbkcodec.h"
#include "platform/testing/fakeautorunentry.h"
#include "common/readablefile.h"
#include "settings/profilefile.h"
#include "settings/settingsstore.h"
#include "support/fullfilesystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void setContents(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class TestProfileFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;

private slots:
    void init()
    {
        m_path = m_dir.filePath(QStringLiteral("filePath.ini"));
        QFile::remove(m_path);
    }

    void missingFileSectionOrKeyGivesTheDefault()
    {
        ProfileFile file(m_path);
        QCOMPARE(file.read(QStringLiteral("MyFileApp"), QStringLiteral("saveFilePATH"), QStringLiteral("txtPATH")),
                 QStringLiteral("txtPATH"));
        setContents(m_path, "[MyFileApp]\r\neditFilePATH=Notavo\r\n");
        QCOMPARE(file.read(QStringLiteral("MyFileApp"), QStringLiteral("saveFilePATH"), QStringLiteral("d")), QStringLiteral("d"));
        QCOMPARE(file.read(QStringLiteral("Other"), QStringLiteral("editFilePATH"), QStringLiteral("d")), QStringLiteral("d"));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("never-written.ini"))));
    }

    void readsFollowThePlatformRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty value") << QByteArray("[A]\r\nk=\r\n") << QString(QLatin1String(""));
        QTest::newRow("names ignore case") << QByteArray("[myfileapp]\nSAVEFILEPATH=x\n") << QStringLiteral("x");
        QTest::newRow("spaces around =") << QByteArray("[A]\n  k  =  v w  \n") << QStringLiteral("v w");
        QTest::newRow("lf lines") << QByteArray("[A]\nk=lf\n") << QStringLiteral("lf");
        QTest::newRow("first duplicate wins") << QByteArray("[A]\nk=1\nk=2\n") << QStringLiteral("1");
        QTest::newRow("quotes dropped") << QByteArray("[A]\nk=\"q v\"\n") << QStringLiteral("q v");
        QTest::newRow("text before nul") << QByteArray("[A]\nk=ab\0cd\n", 12) << QStringLiteral("ab");
        QTest::newRow("gbk value") << QByteArray("[A]\nk=\xD6\xD0\xCE\xC4\n") << QStringLiteral("中文");
        QTest::newRow("header without ] opens nothing") << QByteArray("[B\nk=no\n[A]\nk=yes\n") << QStringLiteral("yes");
        QTest::newRow("no file end newline") << QByteArray("[A]\nk=end") << QStringLiteral("end");
        QTest::newRow("first of duplicate sections only") << QByteArray("[A]\nj=1\n[B]\nk=b\n[a]\nk=late\n")
                                                        << QStringLiteral("txtPATH");
        QTest::newRow("key line without = is skipped") << QByteArray("[A]\nk\nk=after\n") << QStringLiteral("after");
        QTest::newRow("key line without = alone") << QByteArray("[A]\nk\n") << QStringLiteral("txtPATH");
        // 0x81 0x5D is one character whose trail byte is "]": the header has no "]".
        QTest::newRow("] as a trail byte") << QByteArray("[A\x81]\nk=no\n[A]\nk=yes\n") << QStringLiteral("yes");
        QTest::newRow("text after ] ends in a trail-byte ]") << QByteArray("[A]\x81]\nk=yes\n") << QStringLiteral("yes");
    }
    void readsFollowThePlatformRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        setContents(m_path, file);
        const QString section = QString::fromLatin1(QTest::currentDataTag()) == QStringLiteral("names ignore case")
            ? QStringLiteral("MyFileApp") : QStringLiteral("A");
        const QString key = section == QStringLiteral("A") ? QStringLiteral("k") : QStringLiteral("saveFilePATH");
        QCOMPARE(ProfileFile(m_path).read(section, key, QStringLiteral("txtPATH")), expected);
    }

    void longValuesAreCutToWhole255Bytes()
    {
        setContents(m_path, "[A]\nascii=" + QByteArray(300, 'x') + "\nwide=a" + Gbk::encode(QString(150, QChar(0x4E2D))) + "\n");
        ProfileFile file(m_path);
        QCOMPARE(file.read(QStringLiteral("A"), QStringLiteral("ascii"), {}), QString(255, u'x'));
        // 1 + 127 * 2 = 255 bytes: the 128th character would not fit whole.
        QCOMPARE(file.read(QStringLiteral("A"), QStringLiteral("wide"), {}), u'a' + QString(127, QChar(0x4E2D)));
    }

    void writesKeepEveryOtherLineAndTheStoredSpelling()
    {
        const QByteArray original = "; comment\r\n[Other]\nx = 1\n\n[MYFILEAPP]\r\nSaveFilePath=old\r\nkeep=\xB1\xA3\r\n\r\n[Tail]\r\nz=\xff\xfe\r\n";
        setContents(m_path, original);
        ProfileFile file(m_path);
        QVERIFY(file.write(QStringLiteral("MyFileApp"), QStringLiteral("saveFilePATH"), QStringLiteral("新值")));
        QVERIFY(file.write(QStringLiteral("myfileapp"), QStringLiteral("editFilePATH"), QStringLiteral("Notavo")));
        QCOMPARE(contents(m_path),
                 QByteArray("; comment\r\n[Other]\nx = 1\n\n[MYFILEAPP]\r\nSaveFilePath=\xD0\xC2\xD6\xB5\r\nkeep=\xB1\xA3\r\n"
                            "editFilePATH=Notavo\r\n\r\n[Tail]\r\nz=\xff\xfe\r\n"));
    }

    void writerAgreesWithTheReader()
    {
        // The write goes into the first [A], where the reader looks, and fills the key line
        // without "=" there; the later section and key stay as they were.
        setContents(m_path, "[A]\nk\nj=1\n[A]\nk=late\n");
        ProfileFile file(m_path);
        QCOMPARE(file.read(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")), QStringLiteral("d"));
        QVERIFY(file.write(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("new")));
        QCOMPARE(contents(m_path), QByteArray("[A]\nk=new\nj=1\n[A]\nk=late\n"));
        QCOMPARE(file.read(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")), QStringLiteral("new"));
        QVERIFY(file.write(QStringLiteral("A"), QStringLiteral("m"), QStringLiteral("€")));
        QCOMPARE(contents(m_path), QByteArray("[A]\nk=new\nj=1\nm=\x80\r\n[A]\nk=late\n"));
    }

    void fullDiskIsReportedAndKeepsTheOldFile()
    {
        FullFileSystem disk;
        if (!disk.isMounted())
            QSKIP("a small file system can only be mounted as root");
        const QString path = disk.filePath(QStringLiteral("filePath.ini"));
        ProfileFile file(path);
        QVERIFY(file.write(QStringLiteral("MyFileApp"), QStringLiteral("saveFilePATH"), QStringLiteral("/旧")));
        const QByteArray before = contents(path);
        disk.fill();
        QString error;
        QVERIFY(!file.write(QStringLiteral("MyFileApp"), QStringLiteral("editFilePATH"), QStringLiteral("Notavo"), &error));
        QCOMPARE(error, QStringLiteral("磁盘已满"));
        QCOMPARE(contents(path), before);
    }

    void writingIntoNoFileCreatesSectionsInOrder()
    {
        FakeAutoRunEntry autoRun;
        SettingsStore store(m_path, autoRun);
        Settings settings{QString(), EditorChoice::Editor::BuiltIn, QString(), true};
        store.saveSaveFolder(QStringLiteral("/home/用户/笔记"));
        store.saveEditorChoice(settings.editor);
        store.saveAutoRun(settings);
        QCOMPARE(contents(m_path), "[MyFileApp]\r\nsaveFilePATH=/home/" + Gbk::encode(u"用户") + "/" + Gbk::encode(u"笔记")
                                       + "\r\neditFilePATH=Notavo\r\n[MyFileAotoRun]\r\nrunFileName=\r\n"
                                         "[MyFileAutoEdit]\r\neditFileName=TRUE\r\n");
        QCOMPARE(autoRun.commands, QStringList({QString()}));  // switched off, never deleted
        QCOMPARE(settings.saveFolder, QStringLiteral("/home/用户/笔记"));  // read back from the file
        QCOMPARE(settings.autoRunProgram, std::nullopt);  // stored empty: off
        QVERIFY(settings.autoOpen);
    }

    void readSysTemUsesTheReadersSectionSpellingsAndDefaults()
    {
        FakeAutoRunEntry autoRun;
        SettingsStore store(m_path, autoRun);
        Settings settings;
        store.readSettings(settings);
        QCOMPARE(settings.saveFolder, QStringLiteral("txtPATH"));
        QCOMPARE(settings.editor, EditorChoice::Editor::None);
        QCOMPARE(settings.autoRunProgram, std::nullopt);
        QVERIFY(!settings.autoOpen);

        setContents(m_path, "[MyFileAotoRun]\nrunFileName=/opt/" + Gbk::encode(u"程序") + "/Notavo\n[MyFileAutoEdit]\neditFileName=true\n");
        store.readSettings(settings);
        QCOMPARE(settings.autoRunProgram, QStringLiteral("/opt/程序/Notavo"));
        QVERIFY(!settings.autoOpen);  // only "TRUE" is on
    }

    void aFailedWriteKeepsTheOldValue()
    {
        setContents(m_path, "[MyFileApp]\neditFilePATH=Notavo\n");
        const QString blocked = m_dir.filePath(QStringLiteral("blocked"));
        QVERIFY(QDir().mkpath(blocked + QStringLiteral("/filePath.ini")));  // a folder where the file should be
        FakeAutoRunEntry autoRun;
        SettingsStore store(blocked + QStringLiteral("/filePath.ini"), autoRun);
        Settings settings{QString(), EditorChoice::Editor::Wps, QStringLiteral("/x"), true};
        QVERIFY(!store.saveEditorChoice(settings.editor));
        QVERIFY(!store.saveAutoRun(settings));
        QCOMPARE(settings.autoRunProgram, std::nullopt);
        QVERIFY(autoRun.commands.isEmpty());
    }

    void readableFileOnlyForFilesThatOpen()
    {
        const QString file = m_dir.filePath(QStringLiteral("有.txt"));
        setContents(file, "x");
        QVERIFY(isReadableFile(file));
        QVERIFY(!isReadableFile(m_dir.path()));
        QVERIFY(!isReadableFile(m_dir.filePath(QStringLiteral("missing.txt"))));
        QVERIFY(!isReadableFile(QString()));
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
