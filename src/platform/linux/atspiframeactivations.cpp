#include "platform/linux/atspiframeactivations.h"

#include "platform/browserrules.h"
#include "platform/linux/privatedbus.h"

#include <QMetaObject>

#include <dbus/dbus.h>

namespace {

constexpr const char *kWindowEvents = "org.a11y.atspi.Event.Window";
// Frames remembered; older ones are forgotten.
constexpr qsizetype kMaxFrames = 32;

// The window's name that window events carry in their variant argument.
QString titleOf(DBusMessage *message)
{
    DBusMessageIter iter;
    if (!dbus_message_iter_init(message, &iter))
        return {};
    // Skipped: the event's kind and its two numbers.
    for (int skip = 0; skip < 3; ++skip) {
        if (!dbus_message_iter_next(&iter))
            return {};
    }
    if (dbus_message_iter_get_arg_type(&iter) != DBUS_TYPE_VARIANT)
        return {};
    DBusMessageIter variant;
    dbus_message_iter_recurse(&iter, &variant);
    if (dbus_message_iter_get_arg_type(&variant) != DBUS_TYPE_STRING)
        return {};
    const char *text = nullptr;
    dbus_message_iter_get_basic(&variant, &text);
    return QString::fromUtf8(text);
}

// A browser's window title ends in the browser's name ("页面 — Mozilla Firefox"); a window
// with no page yet is named after the browser alone ("Mozilla Firefox"), which is how it is
// often activated.
bool isBrowser(const AtspiFrameActivations::Frame &frame)
{
    const std::u16string title = frame.title.toStdU16String();
    return BrowserRules::isBrowserTitle(title) || BrowserRules::isBrowserTitle(u" - " + title);
}

} // namespace

struct AtspiFrameActivations::Callbacks
{
    static dbus_bool_t addWatch(DBusWatch *watch, void *data);
    static void removeWatch(DBusWatch *watch, void *data);
    static void toggleWatch(DBusWatch *watch, void *data);
    static DBusHandlerResult onFilter(DBusConnection *, DBusMessage *message, void *data);
};

std::unique_ptr<AtspiFrameActivations> AtspiFrameActivations::open()
{
    DBusConnection *connection = PrivateDBus::open(PrivateDBus::accessibilityBusAddress());
    if (!connection)
        return nullptr;
    std::unique_ptr<AtspiFrameActivations> activations(new AtspiFrameActivations(connection));
    if (!activations->listen())
        return nullptr;
    return activations;
}

AtspiFrameActivations::AtspiFrameActivations(DBusConnection *connection)
    : m_connection(connection)
{
}

AtspiFrameActivations::~AtspiFrameActivations()
{
    dbus_connection_remove_filter(m_connection, &Callbacks::onFilter, this);
    // The notifiers go before the connection's socket closes; libdbus is told to call none of
    // the functions any more.
    for (const auto &watched : m_notifiers)
        delete watched.second;
    m_notifiers.clear();
    dbus_connection_set_watch_functions(m_connection, nullptr, nullptr, nullptr, nullptr, nullptr);
    PrivateDBus::close(m_connection);
}

bool AtspiFrameActivations::listen()
{
    DBusError error;
    dbus_error_init(&error);
    dbus_bus_add_match(m_connection, "type='signal',interface='org.a11y.atspi.Event.Window'", &error);
    // An application that leaves the bus takes its frames along.
    dbus_bus_add_match(m_connection,
                       "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                       "member='NameOwnerChanged'",
                       &error);
    const bool matched = !dbus_error_is_set(&error);
    dbus_error_free(&error);
    if (!matched)
        return false;
    // Applications send only the events that someone registered for with the registry.
    for (const char *event : {"window:activate", "window:deactivate", "window:destroy"}) {
        DBusMessage *call = dbus_message_new_method_call("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                                                         "org.a11y.atspi.Registry", "RegisterEvent");
        if (call)
            dbus_message_append_args(call, DBUS_TYPE_STRING, &event, DBUS_TYPE_INVALID);
        if (DBusMessage *reply = PrivateDBus::callAndWait(m_connection, call))
            dbus_message_unref(reply);
    }
    if (!dbus_connection_add_filter(m_connection, &Callbacks::onFilter, this, nullptr))
        return false;
    if (!dbus_connection_set_watch_functions(m_connection, &Callbacks::addWatch,
                                             &Callbacks::removeWatch,
                                             &Callbacks::toggleWatch, this, nullptr))
        return false;
    // Signals that came with the answers above are queued already.
    dispatch();
    return true;
}

dbus_bool_t AtspiFrameActivations::Callbacks::addWatch(DBusWatch *watch, void *data)
{
    auto *self = static_cast<AtspiFrameActivations *>(data);
    const int fd = dbus_watch_get_unix_fd(watch);
    const unsigned int flags = dbus_watch_get_flags(watch);
    for (const unsigned int direction : {DBUS_WATCH_READABLE, DBUS_WATCH_WRITABLE}) {
        if (!(flags & direction))
            continue;
        auto *notifier = new QSocketNotifier(
            fd, direction == DBUS_WATCH_READABLE ? QSocketNotifier::Read : QSocketNotifier::Write, self);
        notifier->setEnabled(dbus_watch_get_enabled(watch));
        QObject::connect(notifier, &QSocketNotifier::activated, self, [self, watch, direction] {
            dbus_watch_handle(watch, direction);
            self->dispatch();
        });
        self->m_notifiers[{watch, static_cast<int>(direction)}] = notifier;
    }
    return TRUE;
}

void AtspiFrameActivations::Callbacks::removeWatch(DBusWatch *watch, void *data)
{
    auto *self = static_cast<AtspiFrameActivations *>(data);
    for (const unsigned int direction : {DBUS_WATCH_READABLE, DBUS_WATCH_WRITABLE}) {
        const auto found = self->m_notifiers.find({watch, static_cast<int>(direction)});
        if (found == self->m_notifiers.end())
            continue;
        // libdbus may remove a watch from inside its own notifier's handler.
        found->second->setEnabled(false);
        found->second->deleteLater();
        self->m_notifiers.erase(found);
    }
}

void AtspiFrameActivations::Callbacks::toggleWatch(DBusWatch *watch, void *data)
{
    auto *self = static_cast<AtspiFrameActivations *>(data);
    for (const unsigned int direction : {DBUS_WATCH_READABLE, DBUS_WATCH_WRITABLE}) {
        const auto found = self->m_notifiers.find({watch, static_cast<int>(direction)});
        if (found != self->m_notifiers.end())
            found->second->setEnabled(dbus_watch_get_enabled(watch));
    }
}

void AtspiFrameActivations::dispatch()
{
    while (dbus_connection_dispatch(m_connection) == DBUS_DISPATCH_DATA_REMAINS) {
    }
}

DBusHandlerResult AtspiFrameActivations::Callbacks::onFilter(DBusConnection *, DBusMessage *message, void *data)
{
    static_cast<AtspiFrameActivations *>(data)->onMessage(message);
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

void AtspiFrameActivations::onMessage(DBusMessage *message)
{
    if (dbus_message_is_signal(message, "org.freedesktop.DBus", "NameOwnerChanged")) {
        const char *name = nullptr;
        const char *oldOwner = nullptr;
        const char *newOwner = nullptr;
        if (!dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING, &name, DBUS_TYPE_STRING, &oldOwner,
                                   DBUS_TYPE_STRING, &newOwner, DBUS_TYPE_INVALID)
            || *newOwner != '\0')
            return;
        const QByteArray gone(name);
        if (m_frames.removeIf([&gone](const Frame &frame) { return frame.busName == gone; }) > 0)
            Q_EMIT activationsChanged();
        return;
    }
    if (dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_SIGNAL
        || qstrcmp(dbus_message_get_interface(message), kWindowEvents) != 0)
        return;
    const QByteArray member = dbus_message_get_member(message);
    const QByteArray busName = dbus_message_get_sender(message);
    const QByteArray path = dbus_message_get_path(message);
    const auto same = [&](const Frame &frame) { return frame.busName == busName && frame.path == path; };
    if (member == "Activate") {
        m_frames.removeIf(same);
        m_frames.prepend({busName, path, titleOf(message), true});
        if (m_frames.size() > kMaxFrames)
            m_frames.resize(kMaxFrames);
    } else if (member == "Deactivate") {
        for (Frame &frame : m_frames) {
            if (same(frame))
                frame.active = false;
        }
    } else if (member == "Destroy") {
        m_frames.removeIf(same);
    } else {
        return;
    }
    Q_EMIT activationsChanged();
}

std::optional<AtspiFrameActivations::Frame> AtspiFrameActivations::browserFrame() const
{
    // The newest activation, whatever the frames' states say: a background program may keep
    // `active` long after the focus left it, and the browser deactivated by the capture bar's
    // focus is still the one the user works in.
    for (const Frame &frame : m_frames) {
        if (isBrowser(frame))
            return frame;
    }
    return std::nullopt;
}
