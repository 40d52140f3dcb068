// The desktop's accessibility switch: turned on only when off, back off at the end only when
// the program turned it on, a crash's leftover recognised, the user's opt-out honoured. Where
// a session bus and the accessibility bus launcher are installed, the same on a private bus.
#include "desktopsession.h"

#include "platform/accessibilityswitch.h"
#include "platform/linux/dbusaccessibilityswitch.h"
#include "platform/testing/fakeaccessibilityswitch.h"
#include "platform/testing/fakeautorunentry.h"
#include "settings/settingsstore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAccessibilitySwitch final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void restoredOnlyWhenTheProgramTurnedItOn()
    {
        QTemporaryDir folder;
        const QString note = folder.filePath(QStringLiteral("state/switched-on"));
        FakeAccessibilitySwitch desktop;
        {
            AccessibilityKeeper keeper(desktop, note);
            keeper.turnOn();
            keeper.turnOn();
            QVERIFY(desktop.enabled);
            QCOMPARE(desktop.changes, 1);
            QVERIFY(QFile::exists(note));
        }
        QVERIFY(!desktop.enabled);
        QVERIFY(!QFile::exists(note));

        // Switched on by the user or a screen reader: left alone, at the start and at the end.
        desktop.enabled = true;
        desktop.changes = 0;
        {
            AccessibilityKeeper keeper(desktop, note);
            keeper.turnOn();
            QVERIFY(!keeper.ownsSwitch());
        }
        QVERIFY(desktop.enabled);
        QCOMPARE(desktop.changes, 0);

        // An earlier run that was killed left the switch on and its note: this run owns it.
        QFile leftover(note);
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        {
            AccessibilityKeeper keeper(desktop, note);
            keeper.turnOn();
            QVERIFY(keeper.ownsSwitch());
        }
        QVERIFY(!desktop.enabled);
        QVERIFY(!QFile::exists(note));

        // Switched off by the user while the program ran: nothing to hand back, the note goes.
        {
            AccessibilityKeeper keeper(desktop, note);
            keeper.turnOn();
            QVERIFY(keeper.ownsSwitch());
            desktop.enabled = false;
            desktop.changes = 0;
        }
        QCOMPARE(desktop.changes, 0);
        QVERIFY(!QFile::exists(note));

        // No bus: nothing happens and nothing is written.
        desktop.reachable = false;
        {
            AccessibilityKeeper keeper(desktop, note);
            keeper.turnOn();
            QVERIFY(!keeper.ownsSwitch());
        }
        QVERIFY(!QFile::exists(note));
    }

    // The user opts out while the program runs, then in again: handed back at once, and taken
    // again at the next look.
    void optingOutAtRunTimeHandsTheSwitchBack()
    {
        QTemporaryDir folder;
        const QString note = folder.filePath(QStringLiteral("switched-on"));
        FakeAccessibilitySwitch desktop;
        AccessibilityKeeper keeper(desktop, note);
        keeper.turnOn();
        QVERIFY(desktop.enabled);
        keeper.restore();
        QVERIFY(!desktop.enabled);
        QVERIFY(!QFile::exists(note));
        QVERIFY(!keeper.ownsSwitch());
        keeper.turnOn();
        QVERIFY(desktop.enabled);
        QVERIFY(keeper.ownsSwitch());
        QVERIFY(QFile::exists(note));
        QCOMPARE(desktop.changes, 3);

        // The user's own switch stays on when opting out.
        keeper.restore();
        desktop.enabled = true;
        keeper.turnOn();
        keeper.restore();
        QVERIFY(desktop.enabled);
    }

    // The user opted out after a run was killed with the switch on: the leftover is put back.
    void leftoverIsHandedBackForAnOptOut()
    {
        QTemporaryDir folder;
        const QString note = folder.filePath(QStringLiteral("switched-on"));
        const auto leaveNote = [&note] {
            QFile leftover(note);
            QVERIFY(leftover.open(QIODevice::WriteOnly));
        };
        FakeAccessibilitySwitch desktop;
        desktop.enabled = true;
        AccessibilityKeeper::handBackLeftover(desktop, note);  // no note: the user's switch
        QVERIFY(desktop.enabled);

        leaveNote();
        desktop.reachable = false;  // no bus yet: the note waits for a later start
        AccessibilityKeeper::handBackLeftover(desktop, note);
        QVERIFY(QFile::exists(note));
        desktop.reachable = true;
        AccessibilityKeeper::handBackLeftover(desktop, note);
        QVERIFY(!desktop.enabled);
        QVERIFY(!QFile::exists(note));

        leaveNote();
        desktop.changes = 0;
        AccessibilityKeeper::handBackLeftover(desktop, note);  // already off: only the note goes
        QCOMPARE(desktop.changes, 0);
        QVERIFY(!QFile::exists(note));
    }

    void settingsKeyKeepsTheSwitchAlone()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("filePath.ini"));
        FakeAutoRunEntry autoRun;
        SettingsStore store(path, autoRun);
        QVERIFY(store.mayTurnOnAccessibility());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[MyFileApp]\r\nsaveFilePATH=/tmp\r\n[MyFileWebSource]\r\nautoAccessibility=false\r\n");
        file.close();
        QVERIFY(!store.mayTurnOnAccessibility());
    }

    void switchOnTheSessionBus()
    {
        // Without a session bus: silent, nothing reached.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/notavo-bus");
        QVERIFY(!DBusAccessibilitySwitch().isEnabled().has_value());

        DesktopSession session;
        if (!session.startAccessibilityBus())
            QSKIP(qPrintable(QStringLiteral("no accessibility bus: %1").arg(session.error())));
        DBusAccessibilitySwitch desktop;
        QVERIFY(desktop.setEnabled(false));
        QCOMPARE(desktop.isEnabled(), std::optional<bool>(false));
        {
            AccessibilityKeeper keeper(desktop, QString());
            keeper.turnOn();
            QCOMPARE(DBusAccessibilitySwitch().isEnabled(), std::optional<bool>(true));
        }
        QCOMPARE(desktop.isEnabled(), std::optional<bool>(false));
    }
};

QTEST_GUILESS_MAIN(TestAccessibilitySwitch)
#include "tst_accessibilityswitch.moc"
