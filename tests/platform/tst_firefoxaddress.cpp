// The address of a real Firefox, read through the accessibility bus on a desktop of the
// test's own where nothing switched accessibility on: Firefox starts first, without being told
// to show itself to the bus, and the discovery switches the desktop's accessibility on.
// With a second window open, the page read is that of the window the bus reports activated.
// Skips where Firefox ESR, Xvfb, openbox or the accessibility bus are missing.
#include "desktopsession.h"

#include "platform/linux/dbusaccessibilityswitch.h"
#include "platform/linux/x11sourcediscovery.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A profile that opens the given page and nothing else: no first-run pages, no updates.
constexpr const char *kPrefs = R"(user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("startup.homepage_welcome_url", "");
user_pref("startup.homepage_welcome_url.additional", "");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.policy.firstRunURL", "");
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.auto", false);
user_pref("browser.startup.page", 0);
)";

} // namespace

class TestFirefoxAddress final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addressOfTheShownPage()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("firefox-esr")).isEmpty())
            QSKIP("Firefox ESR is not installed (Debian package firefox-esr)");
        DesktopSession session;
        if (!session.startDisplay() || !session.startWindowManager() || !session.startAccessibilityBus())
            QSKIP(qPrintable(QStringLiteral("no test desktop: %1").arg(session.error())));

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString page = folder.filePath(QStringLiteral("notavo page.html"));
        QVERIFY(writeFile(page, "<!doctype html><html><head><meta charset=\"utf-8\"><title>Notavo test page</title>"
                                "</head><body><p>选中的文字 for the capture.</p></body></html>"));
        const QString profile = folder.filePath(QStringLiteral("profile"));
        QVERIFY(QDir().mkpath(profile));
        QVERIFY(writeFile(profile + QStringLiteral("/user.js"), kPrefs));
        // Firefox shows the address decoded, as a reader would type it.
        QUrl url = QUrl::fromLocalFile(page);
        url.setQuery(QStringLiteral("id=7&part=2"));
        const QString address = url.toString();

        // The desktop as most users have it: accessibility off.
        DBusAccessibilitySwitch desktop;
        QVERIFY(desktop.setEnabled(false));
        qunsetenv("GNOME_ACCESSIBILITY");
        QVERIFY(session.startProgram(QStringLiteral("firefox-esr"),
                                     {QStringLiteral("--no-remote"), QStringLiteral("--new-instance"),
                                      QStringLiteral("--profile"), profile, address},
                                     {QStringLiteral("MOZ_CRASHREPORTER_DISABLE=1"), QStringLiteral("HOME=") + folder.path()}));
        // The program starts after the browser has shown its window.
        X11WindowList windows(session.display());
        const auto firefoxShown = [&windows] {
            const std::vector<TopLevelWindow> list = windows.topmostFirst();
            return std::any_of(list.begin(), list.end(), [](const TopLevelWindow &window) {
                return window.title.contains(QStringLiteral("Mozilla Firefox"));
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(firefoxShown(), 180000);
        QCOMPARE(desktop.isEnabled(), std::optional<bool>(false));

        auto lookup = std::make_unique<X11AddressLookup>(session.display());
        lookup->lookUp({});
        // Firefox joins the accessibility bus when its window is next activated, as when the
        // user clicks into the page to select the text.
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"),
                                                      QStringLiteral("Mozilla Firefox"), QStringLiteral("windowactivate")});
        // A busy desktop may start its accessibility bus late: the reader asks again until it answers.
        QTRY_VERIFY_WITH_TIMEOUT(lookup->reader().isAvailable(), 60000);
        // Firefox needs a while to start and build its accessible tree.
        QTRY_COMPARE_WITH_TIMEOUT(lookup->lookUp({}), address, 120000);
        QCOMPARE(desktop.isEnabled(), std::optional<bool>(true));

        // Once found, the field is followed: later looks read its text and walk no more.
        const int walks = lookup->reader().walkCount();
        for (int i = 0; i < 20; ++i)
            QCOMPARE(lookup->lookUp({}), address);
        QCOMPARE(lookup->reader().walkCount(), walks);
        // The program's end switches accessibility back off, as it found it.
        lookup.reset();
        QCOMPARE(desktop.isEnabled(), std::optional<bool>(false));

        // The same through the program's discovery, whose looks run on a thread of their own:
        // the ticks find the field, and a look asked for by a new capture then reads it at once
        // and reports it to the GUI thread.
        const std::unique_ptr<SourceDiscovery> discovery = createSourceDiscovery();
        QTRY_COMPARE_WITH_TIMEOUT((discovery->refresh(), discovery->latestAddress()), address, 30000);
        QList<quint64> reported;
        connect(discovery.get(), &SourceDiscovery::lookFinished, this,
                [&](quint64 look, const QString &found) { reported.append(found == address ? look : 0); });
        const quint64 look = discovery->requestLook();
        QTRY_VERIFY(reported.contains(look));
        QCOMPARE(discovery->addressOfLook(look).value_or(QString()), address);
        QCOMPARE(desktop.isEnabled(), std::optional<bool>(true));

        // A second window with another page: the source is the window the accessibility bus
        // reports activated, even where it is not the topmost one.
        const QString firstWindow = firefoxWindows(windows).value(0);
        QVERIFY(!firstWindow.isEmpty());
        xdotool({QStringLiteral("key"), QStringLiteral("--window"), firstWindow, QStringLiteral("ctrl+n")});
        QTRY_COMPARE_WITH_TIMEOUT(firefoxWindows(windows).size(), 2, 60000);
        // The new window is listed before the window manager has raised it: it is the one
        // that is not the first, wherever it stands yet.
        QStringList both = firefoxWindows(windows);
        both.removeAll(firstWindow);
        QCOMPARE(both.size(), 1);
        const QString secondWindow = both.constFirst();
        QUrl secondUrl = QUrl::fromLocalFile(page);
        secondUrl.setQuery(QStringLiteral("id=8"));
        const QString secondAddress = secondUrl.toString();
        // The new window's bar takes the keys only once the window is ready: typed again
        // while it has not loaded the page.
        const auto readsSecond = [&] {
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 15000) {
                const quint64 asked = discovery->requestLook();
                if (discovery->addressOfLook(asked).value_or(discovery->latestAddress()) == secondAddress)
                    return true;
                QTest::qWait(200);
            }
            return false;
        };
        bool typed = false;
        for (int attempt = 0; attempt < 4 && !typed; ++attempt) {
            QTest::qWait(2000);
            xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), secondWindow});
            xdotool({QStringLiteral("key"), QStringLiteral("ctrl+l")});
            xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), secondAddress});
            xdotool({QStringLiteral("key"), QStringLiteral("Return")});
            typed = readsSecond();
        }
        QVERIFY2(typed, "the second window's page was not read");

        // The first window gets the focus but stays below the second: stacking would say the
        // second, the accessibility focus says the first.
        QTRY_COMPARE_WITH_TIMEOUT(firefoxWindows(windows).constFirst(), secondWindow, 10000);
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), firstWindow});
        const auto readsFirst = [&] {
            const quint64 asked = discovery->requestLook();
            return discovery->addressOfLook(asked).value_or(discovery->latestAddress());
        };
        QTRY_COMPARE_WITH_TIMEOUT(readsFirst(), address, 30000);
        QCOMPARE(firefoxWindows(windows).constFirst(), secondWindow);
    }

private:
    // Firefox's top-level windows, topmost first, as xdotool names them.
    static QStringList firefoxWindows(X11WindowList &windows)
    {
        QStringList found;
        for (const TopLevelWindow &window : windows.topmostFirst()) {
            if (window.title.contains(QStringLiteral("Mozilla Firefox")))
                found.append(QString::number(window.id));
        }
        return found;
    }

    static void xdotool(const QStringList &arguments)
    {
        QProcess::execute(QStringLiteral("xdotool"), arguments);
    }
};

QTEST_GUILESS_MAIN(TestFirefoxAddress)
#include "tst_firefoxaddress.moc"
