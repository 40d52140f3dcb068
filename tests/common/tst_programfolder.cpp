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
        const QString data = root.filePath("data");
        for (const char *folder : {"portable", "readonly", "usr/bin"})
            QVERIFY(QDir().mkpath(root.filePath(folder)));
        // A portable copy or the build tree: the executable's own folder.
        QCOMPARE(ProgramFolder::locate(root.filePath("portable"), data).path(), root.filePath("portable"));
        // A folder without any write bit is read-only even for root, whom the system lets write.
        QVERIFY(QFile::setPermissions(root.filePath("readonly"), QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(ProgramFolder::locate(root.filePath("readonly"), data).path(), data);
        QFile::setPermissions(root.filePath("readonly"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // An installed program (<prefix>/bin beside <prefix>/share/notavo), even where root may write.
        QCOMPARE(ProgramFolder::locate(root.filePath("usr/bin"), data).path(), root.filePath("usr/bin"));
        QVERIFY(QDir().mkpath(root.filePath("usr/share/notavo")));
        QCOMPARE(ProgramFolder::locate(root.filePath("usr/bin"), data).path(), data);
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
