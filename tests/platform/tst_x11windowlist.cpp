// The X11 window list and the title rules over it, on a display of the test's own.
#include "desktopsession.h"

#include "platform/linux/x11sourcediscovery.h"
#include "platform/linux/x11windowlist.h"

#include <QSignalSpy>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <map>

namespace {

// A client of the test display that makes top-level windows with the given titles.
class WindowMaker final
{
public:
    explicit WindowMaker(const QByteArray &display)
        : m_connection(xcb_connect(display.constData(), nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_netWmName = atom("_NET_WM_NAME");
        m_netWmPid = atom("_NET_WM_PID");
        m_utf8 = atom("UTF8_STRING");
    }
    ~WindowMaker() { xcb_disconnect(m_connection); }
    Q_DISABLE_COPY_MOVE(WindowMaker)

    // `utf8` false sets only the old WM_NAME, in Latin-1.
    std::uint32_t make(const QString &title, bool utf8 = true, std::uint32_t pid = 0)
    {
        const std::uint32_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (utf8) {
            const QByteArray bytes = title.toUtf8();
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmName, m_utf8, 8,
                                static_cast<std::uint32_t>(bytes.size()), bytes.constData());
        } else {
            const QByteArray bytes = title.toLatin1();
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                                8, static_cast<std::uint32_t>(bytes.size()), bytes.constData());
        }
        if (pid)
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmPid, XCB_ATOM_CARDINAL, 32, 1, &pid);
        xcb_map_window(m_connection, window);
        xcb_flush(m_connection);
        return window;
    }

    void retitle(std::uint32_t window, const QString &title)
    {
        const QByteArray bytes = title.toUtf8();
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmName, m_utf8, 8,
                            static_cast<std::uint32_t>(bytes.size()), bytes.constData());
        xcb_flush(m_connection);
    }

    void raise(std::uint32_t window)
    {
        const std::uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(m_connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        xcb_flush(m_connection);
    }

    void destroy(std::uint32_t window)
    {
        xcb_destroy_window(m_connection, window);
        xcb_flush(m_connection);
    }

private:
    std::uint32_t atom(const char *name)
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(qstrlen(name)), name), nullptr);
        const std::uint32_t value = reply ? reply->atom : 0;
        std::free(reply);
        return value;
    }

    xcb_connection_t *m_connection;
    std::uint32_t m_root = 0;
    std::uint32_t m_netWmName = 0;
    std::uint32_t m_netWmPid = 0;
    std::uint32_t m_utf8 = 0;
};

// The titles of the list, topmost first, without the window manager's own windows.
QStringList titles(X11WindowList &list)
{
    QStringList result;
    for (const TopLevelWindow &window : list.topmostFirst()) {
        if (!window.title.isEmpty())
            result << window.title;
    }
    return result;
}

} // namespace

class TestX11WindowList final : public QObject
{
    Q_OBJECT

private:
    void checkStackingAndTitles(bool withWindowManager)
    {
        DesktopSession session;
        if (!session.startDisplay())
            QSKIP(qPrintable(QStringLiteral("no test display: %1").arg(session.error())));
        if (withWindowManager && !session.startWindowManager())
            QSKIP(qPrintable(QStringLiteral("no window manager: %1").arg(session.error())));

        X11WindowList list(session.display());
        QVERIFY(list.isConnected());
        WindowMaker maker(session.display());
        const std::uint32_t terminal = maker.make(QStringLiteral("Terminal"));
        const std::uint32_t firefox = maker.make(QStringLiteral("新闻 — Mozilla Firefox"), true, 4242);
        maker.make(QStringLiteral("Start - Netscape 7.0"), false);
        const QStringList created = {QStringLiteral("Start - Netscape 7.0"), QStringLiteral("新闻 — Mozilla Firefox"),
                                     QStringLiteral("Terminal")};
        QTRY_COMPARE_WITH_TIMEOUT(titles(list), created, 20000);

        maker.raise(firefox);
        const QStringList raised = {QStringLiteral("新闻 — Mozilla Firefox"), QStringLiteral("Start - Netscape 7.0"),
                                    QStringLiteral("Terminal")};
        QTRY_COMPARE_WITH_TIMEOUT(titles(list), raised, 20000);
        std::map<std::uint32_t, std::uint32_t> pidOf;
        for (const TopLevelWindow &window : list.topmostFirst())
            pidOf.emplace(window.id, window.pid);
        QVERIFY(pidOf.contains(firefox));
        QVERIFY(pidOf.contains(terminal));
        QCOMPARE(pidOf.at(firefox), 4242u);
        QCOMPARE(pidOf.at(terminal), 0u);

        // The list is kept between looks; a new title is read once the server reports it.
        maker.retitle(firefox, QStringLiteral("体育 — Mozilla Firefox"));
        const QStringList retitled = {QStringLiteral("体育 — Mozilla Firefox"), QStringLiteral("Start - Netscape 7.0"),
                                      QStringLiteral("Terminal")};
        QTRY_COMPARE_WITH_TIMEOUT(titles(list), retitled, 20000);

        maker.destroy(firefox);
        maker.raise(terminal);
        const QStringList after = {QStringLiteral("Terminal"), QStringLiteral("Start - Netscape 7.0")};
        QTRY_COMPARE_WITH_TIMEOUT(titles(list), after, 20000);
    }

private Q_SLOTS:
    void rootChildrenWithoutWindowManager() { checkStackingAndTitles(false); }
    void ewmhStackingWithOpenbox() { checkStackingAndTitles(true); }

    void unreachableDisplay()
    {
        X11WindowList list(QByteArrayLiteral(":65000"));
        QVERIFY(!list.isConnected());
        QVERIFY(list.topmostFirst().empty());
    }

    void noDisplayFindsNothing()
    {
        const QByteArray saved = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        const std::unique_ptr<SourceDiscovery> discovery = createSourceDiscovery();
        discovery->refresh();
        QCOMPARE(discovery->addressOfLook(discovery->requestLook()).value_or(QString()), QString());
        QCOMPARE(discovery->latestAddress(), QString());
        if (!saved.isEmpty())
            qputenv("DISPLAY", saved);
    }

    // Where no accessibility bus exists the discovery still runs on an X11 desktop, going by
    // the window stacking: with no frame events to tell what changed, every tick looks.
    void withoutAccessibilityBusTicksGoByTheWindowList()
    {
        DesktopSession session;
        if (!session.startDisplay())
            QSKIP(qPrintable(QStringLiteral("no test display: %1").arg(session.error())));
        const QByteArray savedDisplay = qgetenv("DISPLAY");
        const QByteArray savedBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DISPLAY", session.display());
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/notavo-test-bus");
        {
            const std::unique_ptr<SourceDiscovery> discovery = createSourceDiscovery({false, {}});
            QCOMPARE(discovery->requestLook(), quint64(1));
            QSignalSpy finished(discovery.get(), &SourceDiscovery::lookFinished);
            QTRY_COMPARE(finished.count(), 1);
            for (int tick = 2; tick <= 4; ++tick) {
                discovery->refresh();
                QTRY_COMPARE(finished.count(), tick);
            }
        }
        qputenv("DISPLAY", savedDisplay);
        qputenv("DBUS_SESSION_BUS_ADDRESS", savedBus);
    }

    // Without an accessibility bus a browser window is found but yields the empty address.
    void browserWithoutAccessibilityBus()
    {
        DesktopSession session;
        if (!session.startDisplay())
            QSKIP(qPrintable(QStringLiteral("no test display: %1").arg(session.error())));
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/notavo-test-bus");
        WindowMaker maker(session.display());
        maker.make(QStringLiteral("Page - Google Chrome"), true, 1);
        X11AddressLookup lookup(session.display());
        QCOMPARE(lookup.lookUp({}), QString());
        QVERIFY(!lookup.reader().isAvailable());
    }
};

QTEST_GUILESS_MAIN(TestX11WindowList)
#include "tst_x11windowlist.moc"
