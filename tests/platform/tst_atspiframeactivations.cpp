// Which browser frame was activated last, as the accessibility bus tells it: on a private
// accessibility bus, with applications played by the test's own connections.
#include "desktopsession.h"

#include "platform/linux/atspiframeactivations.h"
#include "platform/linux/x11sourcediscovery.h"

#include <QSignalSpy>
#include <QTest>

#include <dbus/dbus.h>

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
    DBusConnection *m_connection = nullptr;
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

QTEST_GUILESS_MAIN(AtspiFrameActivationsTest)
#include "tst_atspiframeactivations.moc"
