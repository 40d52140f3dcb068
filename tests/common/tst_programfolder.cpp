#include "common/programfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void dataStaysBesideAWritableProgramOnly()
    {
        QTemporaryDir root;
        const QString data = root.filePath(QStringLiteral("data"));

        // A portable copy or the build tree: the executable's own folder.
        const QString portable = root.filePath(QStringLiteral("portable"));
        QVERIFY(QDir().mkpath(portable));
        QCOMPARE(ProgramFolder::locate(portable, data).path(), portable);

        // A folder without any write bit is read-only even for root, which the system lets write.
        const QString readOnly = root.filePath(QStringLiteral("readonly"));
        QVERIFY(QDir().mkpath(readOnly));
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        QCOMPARE(ProgramFolder::locate(readOnly, data).path(), data);
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        // An installed program: <prefix>/bin beside <prefix>/share/notavo, even where root may write.
        const QString bin = root.filePath(QStringLiteral("usr/bin"));
        QVERIFY(QDir().mkpath(bin));
        QCOMPARE(ProgramFolder::installedShareFolder(bin), QString());
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("usr/share/notavo"))));
        QCOMPARE(ProgramFolder::installedShareFolder(bin), root.filePath(QStringLiteral("usr/share/notavo")));
        QCOMPARE(ProgramFolder::locate(bin, data).path(), data);
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
