#include "platform/linux/xdgautorunentry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAutoRunEntry : public QObject
{
    Q_OBJECT

private slots:
    void switchingOffDisablesTheEntryWithoutDeletingIt()
    {
        QTemporaryDir dir;
        XdgAutoRunEntry entry(dir.filePath(QStringLiteral("autostart")));
        const auto lines = [&entry] {
            QFile file(entry.entryPath());
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split(u'\n') : QStringList();
        };
        // Switching off an entry that was never made makes none.
        entry.setCommand(QString());
        QVERIFY(!QFile::exists(entry.entryPath()));

        entry.setCommand(QStringLiteral("/opt/笔记 程序/Notavo"));
        QVERIFY(lines().contains(QStringLiteral("Exec=\"/opt/笔记 程序/Notavo\"")));
        // The session skips the entry once the program is gone.
        QVERIFY(lines().contains(QStringLiteral("TryExec=/opt/笔记 程序/Notavo")));
        QVERIFY(lines().contains(QStringLiteral("Hidden=false")));

        entry.setCommand(QString());
        QVERIFY(QFile::exists(entry.entryPath()));
        QVERIFY(lines().contains(QStringLiteral("Hidden=true")));
        QVERIFY(lines().contains(QStringLiteral("X-GNOME-Autostart-enabled=false")));
    }

    void anEnabledEntryFollowsTheProgramToItsNewPlace()
    {
        QTemporaryDir dir;
        XdgAutoRunEntry entry(dir.filePath(QStringLiteral("autostart")));
        const auto contents = [&entry] {
            QFile file(entry.entryPath());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        entry.followProgram(QStringLiteral("/usr/bin/notavo"));
        QVERIFY(!QFile::exists(entry.entryPath()));

        entry.setCommand(QStringLiteral("/home/u/build/bin/Notavo"));
        entry.followProgram(QStringLiteral("/usr/bin/notavo"));
        QVERIFY(contents().contains("Exec=/usr/bin/notavo\n"));

        // Switched off stays off, wherever the program now is.
        entry.setCommand(QString());
        const QByteArray disabled = contents();
        entry.followProgram(QStringLiteral("/opt/notavo"));
        QCOMPARE(contents(), disabled);
    }
};

QTEST_GUILESS_MAIN(TestAutoRunEntry)
#include "tst_autorunentry.moc"
