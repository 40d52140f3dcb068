#include "common/programfolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void dataStaysBesideAWritableProgramOnly()
    {
        QTemporaryDir root;
        const auto in = [&root](const char *path) { return root.filePath(QString::fromUtf8(path)); };
        const QString data = in("data");
        for (const char *folder : {"portable", "readonly", "usr/bin"})
            QVERIFY(QDir().mkpath(in(folder)));
        // A portable copy or the build tree: the executable's own folder.
        QCOMPARE(ProgramFolder::locate(in("portable"), data).path(), in("portable"));
        // A folder without any write bit is read-only even for root, whom the system lets write.
        QVERIFY(QFile::setPermissions(in("readonly"), QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(ProgramFolder::locate(in("readonly"), data).path(), data);
        QFile::setPermissions(in("readonly"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // An installed program (<prefix>/bin beside <prefix>/share/notavo), even where root may write.
        QCOMPARE(ProgramFolder::locate(in("usr/bin"), data).path(), in("usr/bin"));
        QVERIFY(QDir().mkpath(in("usr/share/notavo")));
        QCOMPARE(ProgramFolder::locate(in("usr/bin"), data).path(), data);
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
