// Which browser frame was activated last, as the accessibility bus tells it: on a private
// accessibility bus, with applications played by the test's own connections.
#include "desktopsession.h"

#include "platform/linux/atspiframeactivations.h"
#include "platform/linux/x11sourcediscovery.h"

#include <QSignalSpy>
#include <QTest>

#include <dbus/dbus.h>

#include <algorithm>
#include <mutex>

namespace {

// An application on the accessibility bus that sends window events, as a browser's
// accessibility bridge does.
class FakeApplication final
{
public:
    explicit FakeApplication(const QByteArray &address)
    {
        DBusError error;
        dbus_error_init(&error);
        m_connection = dbus_connection_open_private(address.constData(), &error);
        if (m_connection && !dbus_bus_register(m_connection, &error)) {
            dbus_connection_close(m_connection);
            dbus_connection_unref(m_connection);
            m_connection = nullptr;
        }
        dbus_error_free(&error);
    }
    ~FakeApplication() { quit(); }

    // A top-level frame the application shows, as its accessible root lists it.
    void addFrame(const QByteArray &path, const QString &title, bool active)
    {
        m_frameList.append({path, title, active});
    }

    // Joins the registry's list of applications, as an accessibility bridge does at start, and
    // answers for its frames from then on (while served).
    bool embed()
    {
        dbus_connection_register_fallback(m_connection, "/org/a11y/atspi/accessible", &kObjectHandlers, this);
        DBusMessage *call = dbus_message_new_method_call("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root",
                                                         "org.a11y.atspi.Socket", "Embed");
        const QByteArray name = busName();
        const char *nameText = name.constData();
        const char *root = "/org/a11y/atspi/accessible/root";
        DBusMessageIter iter;
        DBusMessageIter reference;
        dbus_message_iter_init_append(call, &iter);
        dbus_message_iter_open_container(&iter, DBUS_TYPE_STRUCT, nullptr, &reference);
        dbus_message_iter_append_basic(&reference, DBUS_TYPE_STRING, &nameText);
        dbus_message_iter_append_basic(&reference, DBUS_TYPE_OBJECT_PATH, &root);
        dbus_message_iter_close_container(&iter, &reference);
        DBusMessage *reply = dbus_connection_send_with_reply_and_block(m_connection, call, 5000, nullptr);
        dbus_message_unref(call);
        if (reply)
            dbus_message_unref(reply);
        return reply != nullptr;
    }

    // Answers what was asked so far; returns true so that it fits into a waited condition.
    bool serve()
    {
        while (dbus_connection_read_write_dispatch(m_connection, 0)
               && dbus_connection_get_dispatch_status(m_connection) == DBUS_DISPATCH_DATA_REMAINS) {
        }
        return true;
    }

    // The methods asked, as "Member path".
    const QStringList &asked() const { return m_asked; }
    FakeApplication(const FakeApplication &) = delete;
    FakeApplication &operator=(const FakeApplication &) = delete;

    bool isValid() const { return m_connection != nullptr; }
    QByteArray busName() const { return dbus_bus_get_unique_name(m_connection); }

    void windowEvent(const char *member, const char *path, const QString &title)
    {
        DBusMessage *signal = dbus_message_new_signal(path, "org.a11y.atspi.Event.Window", member);
        DBusMessageIter iter;
        DBusMessageIter variant;
        DBusMessageIter properties;
        const char *kind = "";
        const dbus_int32_t zero = 0;
        const QByteArray name = title.toUtf8();
        const char *nameText = name.constData();
        dbus_message_iter_init_append(signal, &iter);
        dbus_message_iter_append_basic(&iter, DBUS_TYPE_STRING, &kind);
        dbus_message_iter_append_basic(&iter, DBUS_TYPE_INT32, &zero);
        dbus_message_iter_append_basic(&iter, DBUS_TYPE_INT32, &zero);
        dbus_message_iter_open_container(&iter, DBUS_TYPE_VARIANT, "s", &variant);
        dbus_message_iter_append_basic(&variant, DBUS_TYPE_STRING, &nameText);
        dbus_message_iter_close_container(&iter, &variant);
        dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "{sv}", &properties);
        dbus_message_iter_close_container(&iter, &properties);
        dbus_connection_send(m_connection, signal, nullptr);
        dbus_connection_flush(m_connection);
        dbus_message_unref(signal);
    }

    void quit()
    {
        if (!m_connection)
            return;
        dbus_connection_close(m_connection);
        dbus_connection_unref(m_connection);
        m_connection = nullptr;
    }

private:
    struct FrameShown
    {
        QByteArray path;
        QString title;
        bool active;
    };

    static DBusHandlerResult onCall(DBusConnection *connection, DBusMessage *call, void *data)
    {
        auto *self = static_cast<FakeApplication *>(data);
        const QByteArray path = dbus_message_get_path(call);
        const QByteArray member = dbus_message_get_member(call);
        self->m_asked.append(QString::fromUtf8(member + ' ' + path));
        DBusMessage *reply = dbus_message_new_method_return(call);
        DBusMessageIter iter;
        DBusMessageIter inner;
        dbus_message_iter_init_append(reply, &iter);
        const auto frame = std::find_if(self->m_frameList.cbegin(), self->m_frameList.cend(),
                                        [&path](const FrameShown &shown) { return shown.path == path; });
        if (member == "GetChildren" && path.endsWith("/root")) {
            const QByteArray name = self->busName();
            dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "(so)", &inner);
            for (const FrameShown &shown : self->m_frameList) {
                DBusMessageIter reference;
                const char *nameText = name.constData();
                const char *pathText = shown.path.constData();
                dbus_message_iter_open_container(&inner, DBUS_TYPE_STRUCT, nullptr, &reference);
                dbus_message_iter_append_basic(&reference, DBUS_TYPE_STRING, &nameText);
                dbus_message_iter_append_basic(&reference, DBUS_TYPE_OBJECT_PATH, &pathText);
                dbus_message_iter_close_container(&inner, &reference);
            }
            dbus_message_iter_close_container(&iter, &inner);
        } else if (member == "Get" && frame != self->m_frameList.cend()) {
            const QByteArray title = frame->title.toUtf8();
            const char *titleText = title.constData();
            dbus_message_iter_open_container(&iter, DBUS_TYPE_VARIANT, "s", &inner);
            dbus_message_iter_append_basic(&inner, DBUS_TYPE_STRING, &titleText);
            dbus_message_iter_close_container(&iter, &inner);
        } else if (member == "GetState" && frame != self->m_frameList.cend()) {
            // Bit 1 of the first word is the active state; bit 2 (armed) is set to be ignored.
            const dbus_uint32_t words[2] = {frame->active ? 0x2U | 0x4U : 0x4U, 0};
            dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "u", &inner);
            for (const dbus_uint32_t word : words)
                dbus_message_iter_append_basic(&inner, DBUS_TYPE_UINT32, &word);
            dbus_message_iter_close_container(&iter, &inner);
        } else {
            dbus_message_unref(reply);
            reply = dbus_message_new_error(call, DBUS_ERROR_UNKNOWN_METHOD, "not shown");
        }
        dbus_connection_send(connection, reply, nullptr);
        dbus_message_unref(reply);
        return DBUS_HANDLER_RESULT_HANDLED;
    }
    static constexpr DBusObjectPathVTable kObjectHandlers{nullptr, &FakeApplication::onCall, nullptr, nullptr,
                                                           nullptr, nullptr};

    DBusConnection *m_connection = nullptr;
    QList<FrameShown> m_frameList;
    QStringList m_asked;
};

QByteArray accessibilityBusAddress()
{
    DBusError error;
    dbus_error_init(&error);
    DBusConnection *session = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    QByteArray address;
    if (session) {
        dbus_connection_set_exit_on_disconnect(session, FALSE);
        DBusMessage *call = dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress");
        DBusMessage *reply = dbus_connection_send_with_reply_and_block(session, call, 5000, &error);
        dbus_message_unref(call);
        const char *text = nullptr;
        if (reply && dbus_message_get_args(reply, nullptr, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID))
            address = text;
        if (reply)
            dbus_message_unref(reply);
        dbus_connection_close(session);
        dbus_connection_unref(session);
    }
    dbus_error_free(&error);
    return address;
}

// Notes the frame each look was given.
class RecordingLookup final : public AddressLookup
{
public:
    RecordingLookup(std::mutex &mutex, QList<FocusedFrame> &looked) : m_mutex(mutex), m_looked(looked) {}
    QString lookUp(const FocusedFrame &focused) override
    {
        const std::lock_guard lock(m_mutex);
        m_looked.append(focused);
        return QString::fromUtf8(focused.path);
    }

private:
    std::mutex &m_mutex;
    QList<FocusedFrame> &m_looked;
};

const QString kFirefoxTitle = QStringLiteral("新闻页面 — Mozilla Firefox");
const QString kChromiumTitle = QStringLiteral("资料 - Chromium");

} // namespace

class AtspiFrameActivationsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void browserActivatedLastIsKeptWhenFocusMovesOn();
    void newestActivationBeatsAFrameThatStaysActive();
    void discoveryLooksInTheFrameActivatedLast();
    void applicationLeavingTakesItsFramesAlong();
    void browserActiveBeforeConnectIsFound();
    void browserJoiningTheBusLaterIsFound();
    void severalActiveBrowsersAreTakenByStacking();

private:
    // Sends an event and waits until the tracker heard it.
    void send(FakeApplication &application, const char *member, const char *path, const QString &title);

    DesktopSession m_desktop;
    QByteArray m_address;
    std::unique_ptr<AtspiFrameActivations> m_activations;
};

void AtspiFrameActivationsTest::initTestCase()
{
    if (!m_desktop.startDisplay() || !m_desktop.startAccessibilityBus())
        QSKIP(qPrintable(m_desktop.error()));
    m_address = accessibilityBusAddress();
    QVERIFY(!m_address.isEmpty());
}

void AtspiFrameActivationsTest::send(FakeApplication &application, const char *member, const char *path,
                                     const QString &title)
{
    QSignalSpy changed(m_activations.get(), &AtspiFrameActivations::activationsChanged);
    application.windowEvent(member, path, title);
    QTRY_COMPARE(changed.count(), 1);
}

void AtspiFrameActivationsTest::browserActivatedLastIsKeptWhenFocusMovesOn()
{
    m_activations = AtspiFrameActivations::open();
    QVERIFY(m_activations);
    QVERIFY(!m_activations->browserFrame());
    FakeApplication firefox(m_address);
    FakeApplication terminal(m_address);
    QVERIFY(firefox.isValid() && terminal.isValid());

    send(firefox, "Activate", "/org/a11y/atspi/accessible/7", kFirefoxTitle);
    send(firefox, "Deactivate", "/org/a11y/atspi/accessible/7", kFirefoxTitle);
    send(terminal, "Activate", "/org/a11y/atspi/accessible/1", QStringLiteral("终端"));
    // The capture bar took the focus, or another program did: the browser is still the one.
    auto frame = m_activations->browserFrame();
    QVERIFY(frame);
    QCOMPARE(frame->busName, firefox.busName());
    QCOMPARE(frame->path, QByteArray("/org/a11y/atspi/accessible/7"));
    QCOMPARE(frame->title, kFirefoxTitle);
    QVERIFY(!frame->active);

    // A new window, before it shows a page, carries the browser's name alone.
    send(firefox, "Activate", "/org/a11y/atspi/accessible/8", QStringLiteral("Mozilla Firefox"));
    QCOMPARE(m_activations->browserFrame()->path, QByteArray("/org/a11y/atspi/accessible/8"));
    send(firefox, "Destroy", "/org/a11y/atspi/accessible/8", QStringLiteral("Mozilla Firefox"));

    // A window of the browser that closed is not the source any more.
    send(firefox, "Destroy", "/org/a11y/atspi/accessible/7", kFirefoxTitle);
    QVERIFY(!m_activations->browserFrame());
}

void AtspiFrameActivationsTest::newestActivationBeatsAFrameThatStaysActive()
{
    m_activations = AtspiFrameActivations::open();
    QVERIFY(m_activations);
    FakeApplication electron(m_address);
    FakeApplication firefox(m_address);

    // A Chromium-based program in the background never says it lost the focus.
    send(electron, "Activate", "/org/a11y/atspi/accessible/9", kChromiumTitle);
    send(firefox, "Activate", "/org/a11y/atspi/accessible/3", kFirefoxTitle);
    QCOMPARE(m_activations->browserFrame()->busName, firefox.busName());
    // The capture bar takes the focus from Firefox; the other still claims to be active.
    send(firefox, "Deactivate", "/org/a11y/atspi/accessible/3", kFirefoxTitle);
    const auto frame = m_activations->browserFrame();
    QCOMPARE(frame->busName, firefox.busName());
    QVERIFY(!frame->active);
    QCOMPARE(m_activations->frames().size(), 2);
    QVERIFY(m_activations->frames().at(1).active);
}

void AtspiFrameActivationsTest::discoveryLooksInTheFrameActivatedLast()
{
    std::mutex mutex;
    QList<FocusedFrame> looked;
    BackgroundSourceDiscovery discovery([&] { return std::make_unique<RecordingLookup>(mutex, looked); });
    auto activations = AtspiFrameActivations::open();
    QVERIFY(activations);
    AtspiFrameActivations *heard = activations.get();
    followFrameActivations(discovery, std::move(activations));
    const auto lastLooked = [&] {
        discovery.addressOfLook(discovery.requestLook());
        const std::lock_guard lock(mutex);
        return looked.constLast();
    };
    // Before any activation, a look has no frame to go by (the window list stands in).
    QVERIFY(lastLooked().isEmpty());

    FakeApplication electron(m_address);
    FakeApplication firefox(m_address);
    FakeApplication notavo(m_address);
    const auto sendTo = [&](FakeApplication &application, const char *member, const char *path, const QString &title) {
        QSignalSpy changed(heard, &AtspiFrameActivations::activationsChanged);
        application.windowEvent(member, path, title);
        QTRY_COMPARE(changed.count(), 1);
    };
    sendTo(electron, "Activate", "/org/a11y/atspi/accessible/9", kChromiumTitle);
    sendTo(firefox, "Activate", "/org/a11y/atspi/accessible/3", kFirefoxTitle);
    const FocusedFrame firefoxFrame{firefox.busName(), "/org/a11y/atspi/accessible/3", kFirefoxTitle};
    QCOMPARE(lastLooked(), firefoxFrame);
    // The bar drops down and takes the focus: the browser under it stays the source.
    sendTo(firefox, "Deactivate", "/org/a11y/atspi/accessible/3", kFirefoxTitle);
    sendTo(notavo, "Activate", "/org/a11y/atspi/accessible/1", QStringLiteral("Notavo"));
    QCOMPARE(lastLooked(), firefoxFrame);
    // The browser window closes: no frame is left to go by.
    sendTo(firefox, "Destroy", "/org/a11y/atspi/accessible/3", kFirefoxTitle);
    QCOMPARE(lastLooked().busName, electron.busName());
}

void AtspiFrameActivationsTest::applicationLeavingTakesItsFramesAlong()
{
    m_activations = AtspiFrameActivations::open();
    QVERIFY(m_activations);
    FakeApplication firefox(m_address);
    send(firefox, "Activate", "/org/a11y/atspi/accessible/2", kFirefoxTitle);
    QVERIFY(m_activations->browserFrame());

    QSignalSpy changed(m_activations.get(), &AtspiFrameActivations::activationsChanged);
    firefox.quit();
    QTRY_COMPARE(changed.count(), 1);
    QVERIFY(!m_activations->browserFrame());
    QVERIFY(m_activations->frames().isEmpty());
}

void AtspiFrameActivationsTest::browserJoiningTheBusLaterIsFound()
{
    // The browser was active before the accessibility switch went on, and joins the bus only
    // after the connection was made: it sends no activation, so the registry's news of it
    // leads to the look.
    m_activations = AtspiFrameActivations::open();
    QVERIFY(m_activations);
    FakeApplication firefox(m_address);
    QVERIFY(firefox.isValid());
    firefox.addFrame("/org/a11y/atspi/accessible/6", kFirefoxTitle, true);
    QVERIFY(firefox.embed());
    QTRY_VERIFY(firefox.serve() && m_activations->browserFrame());
    QCOMPARE(m_activations->browserFrame()->path, QByteArray("/org/a11y/atspi/accessible/6"));
    QCOMPARE(m_activations->browserFrame()->busName, firefox.busName());
}

void AtspiFrameActivationsTest::browserActiveBeforeConnectIsFound()
{
    // Both were active before the connection was made: Notavo started beside them. A program
    // listed before them never answers, and holds up neither the look nor the event loop.
    FakeApplication hung(m_address);
    FakeApplication electron(m_address);
    FakeApplication firefox(m_address);
    QVERIFY(hung.isValid() && electron.isValid() && firefox.isValid());
    hung.addFrame("/org/a11y/atspi/accessible/1", kChromiumTitle, true);
    electron.addFrame("/org/a11y/atspi/accessible/4", QStringLiteral("聊天"), true);
    firefox.addFrame("/org/a11y/atspi/accessible/5", QStringLiteral("下载 — Mozilla Firefox"), false);
    firefox.addFrame("/org/a11y/atspi/accessible/6", kFirefoxTitle, true);
    QVERIFY(hung.embed() && electron.embed() && firefox.embed());

    m_activations = AtspiFrameActivations::open();
    QVERIFY(m_activations);
    QTRY_VERIFY(electron.serve() && firefox.serve() && m_activations->browserFrame());
    auto frame = m_activations->browserFrame();
    QCOMPARE(frame->busName, firefox.busName());
    QCOMPARE(frame->path, QByteArray("/org/a11y/atspi/accessible/6"));
    QCOMPARE(frame->title, kFirefoxTitle);
    QVERIFY(frame->active);
    // The active frame of another program is not a browser's: never asked for its state, never kept.
    QTRY_VERIFY(electron.serve() && electron.asked().contains(QStringLiteral("Get /org/a11y/atspi/accessible/4")));
    QTest::qWait(100);
    electron.serve();
    QVERIFY(!electron.asked().contains(QStringLiteral("GetState /org/a11y/atspi/accessible/4")));
    QCOMPARE(m_activations->frames().size(), 1);

    // Events from then on are newer than what was found at connect.
    FakeApplication chromium(m_address);
    send(chromium, "Activate", "/org/a11y/atspi/accessible/2", kChromiumTitle);
    QCOMPARE(m_activations->browserFrame()->busName, chromium.busName());
    send(chromium, "Destroy", "/org/a11y/atspi/accessible/2", kChromiumTitle);
    QCOMPARE(m_activations->browserFrame()->busName, firefox.busName());
}

void AtspiFrameActivationsTest::severalActiveBrowsersAreTakenByStacking()
{
    FakeApplication firefox(m_address);
    FakeApplication chromium(m_address);
    firefox.addFrame("/org/a11y/atspi/accessible/6", kFirefoxTitle, true);
    chromium.addFrame("/org/a11y/atspi/accessible/3", kChromiumTitle, true);
    QVERIFY(firefox.embed() && chromium.embed());
    const auto foundAtConnect = [&](AtspiFrameActivations::StackingTitles stacking) {
        m_activations = AtspiFrameActivations::open(std::move(stacking));
        for (int wait = 0; wait < 500 && m_activations && m_activations->frames().size() < 2; ++wait) {
            firefox.serve();
            chromium.serve();
            QTest::qWait(10);
        }
        return m_activations && m_activations->frames().size() == 2 ? m_activations->browserFrame()->busName
                                                                    : QByteArray();
    };
    // With no window stacking known (a Wayland desktop), the first the registry lists.
    QCOMPARE(foundAtConnect({}), firefox.busName());
    QCOMPARE(foundAtConnect([] { return QStringList{QStringLiteral("终端"), kFirefoxTitle}; }), firefox.busName());
    // The browser window highest in the stacking.
    QCOMPARE(foundAtConnect([] { return QStringList{QStringLiteral("终端"), kChromiumTitle, kFirefoxTitle}; }),
             chromium.busName());
}

QTEST_GUILESS_MAIN(AtspiFrameActivationsTest)
#include "tst_atspiframeactivations.moc"
