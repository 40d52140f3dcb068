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
        const QString data = root.filePath(QStringLiteral("data"));
        for (const char *folder : {"portable", "readonly", "usr/bin"})
            QVERIFY(QDir().mkpath(root.filePath(QLatin1StringView(folder))));
        // A portable copy or the build tree: the executable's own folder.
        QCOMPARE(ProgramFolder::locate(root.filePath(QStringLiteral("portable")), data).path(), root.filePath(QStringLiteral("portable")));
        // A folder without any write bit is read-only even for root, whom the system lets write.
        QVERIFY(QFile::setPermissions(root.filePath(QStringLiteral("readonly")), QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(ProgramFolder::locate(root.filePath(QStringLiteral("readonly")), data).path(), data);
        QFile::setPermissions(root.filePath(QStringLiteral("readonly")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // An installed program (<prefix>/bin beside <prefix>/share/notavo), even where root may write.
        QCOMPARE(ProgramFolder::locate(root.filePath(QStringLiteral("usr/bin")), data).path(), root.filePath(QStringLiteral("usr/bin")));
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("usr/share/notavo"))));
        QCOMPARE(ProgramFolder::locate(root.filePath(QStringLiteral("usr/bin")), data).path(), data);
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
