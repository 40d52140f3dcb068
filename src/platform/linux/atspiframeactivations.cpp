#include "platform/linux/atspiframeactivations.h"

#include "platform/browserrules.h"
#include "platform/linux/privatedbus.h"

#include <QMetaObject>

#include <algorithm>

#include <dbus/dbus.h>

namespace {

constexpr const char *kWindowEvents = "org.a11y.atspi.Event.Window";
constexpr const char *kAccessible = "org.a11y.atspi.Accessible";
constexpr const char *kRegistry = "org.a11y.atspi.Registry";
constexpr const char *kRoot = "/org/a11y/atspi/accessible/root";
constexpr const char *kObjectEvents = "org.a11y.atspi.Event.Object";
// A browser that has just joined the bus may show its frame a moment after it registers.
constexpr int kLookAgainAfterJoinMs = 2000;
// The bit of AT-SPI's state set that marks the active window.
constexpr dbus_uint32_t kStateActive = 1U << 1;
constexpr int kAnswerTimeoutMs = 2000;
// Frames remembered; older ones are forgotten.
constexpr qsizetype kMaxFrames = 32;

// The kind of an event ("add" for a child added), its first argument.
QByteArray eventKind(DBusMessage *message)
{
    const char *kind = nullptr;
    DBusMessageIter iter;
    if (!dbus_message_iter_init(message, &iter) || dbus_message_iter_get_arg_type(&iter) != DBUS_TYPE_STRING)
        return {};
    dbus_message_iter_get_basic(&iter, &kind);
    return QByteArray(kind);
}

// The string held by the variant at `iter`; empty when it holds none.
QString stringInVariant(DBusMessageIter &iter)
{
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
    return stringInVariant(iter);
}

// A browser's window title ends in the browser's name ("页面 — Mozilla Firefox"); a window
// with no page yet is named after the browser alone ("Mozilla Firefox"), which is how it is
// often activated.
bool isBrowser(const AtspiFrameActivations::Frame &frame)
{
    const std::u16string title = frame.title.toStdU16String();
    return BrowserRules::isBrowserTitle(title) || BrowserRules::isBrowserTitle(u" - " + title);
}

// The (bus name, path) pairs of an answer to GetChildren.
QList<std::pair<QByteArray, QByteArray>> objectReferences(DBusMessage *reply)
{
    QList<std::pair<QByteArray, QByteArray>> references;
    DBusMessageIter iter;
    if (!dbus_message_iter_init(reply, &iter) || dbus_message_iter_get_arg_type(&iter) != DBUS_TYPE_ARRAY)
        return references;
    DBusMessageIter array;
    dbus_message_iter_recurse(&iter, &array);
    while (dbus_message_iter_get_arg_type(&array) == DBUS_TYPE_STRUCT) {
        DBusMessageIter reference;
        dbus_message_iter_recurse(&array, &reference);
        const char *busName = nullptr;
        const char *path = nullptr;
        if (dbus_message_iter_get_arg_type(&reference) == DBUS_TYPE_STRING) {
            dbus_message_iter_get_basic(&reference, &busName);
            if (dbus_message_iter_next(&reference) && dbus_message_iter_get_arg_type(&reference) == DBUS_TYPE_OBJECT_PATH)
                dbus_message_iter_get_basic(&reference, &path);
        }
        if (busName && path && *busName != '\0')
            references.append(std::make_pair(QByteArray(busName), QByteArray(path)));
        dbus_message_iter_next(&array);
    }
    return references;
}

// The string in an answer that holds one variant, as Properties.Get gives it.
QString variantString(DBusMessage *reply)
{
    DBusMessageIter iter;
    if (!dbus_message_iter_init(reply, &iter))
        return {};
    return stringInVariant(iter);
}

// True when an answer to GetState holds the active state.
bool holdsActiveState(DBusMessage *reply)
{
    DBusMessageIter iter;
    if (!dbus_message_iter_init(reply, &iter) || dbus_message_iter_get_arg_type(&iter) != DBUS_TYPE_ARRAY)
        return false;
    DBusMessageIter array;
    dbus_message_iter_recurse(&iter, &array);
    if (dbus_message_iter_get_arg_type(&array) != DBUS_TYPE_UINT32)
        return false;
    dbus_uint32_t low = 0;
    dbus_message_iter_get_basic(&array, &low);
    return (low & kStateActive) != 0;
}

} // namespace

// One question of the look at connect, and what it is about.
struct AtspiFrameActivations::Look
{
    enum Step { Applications, Frames, Name, State };
    Step step = Applications;
    QByteArray busName;
    QByteArray path;
    QString title;
    int application = 0; // the order in which the registry and the application listed them
    int frame = 0;
};

struct AtspiFrameActivations::Callbacks
{
    static dbus_bool_t addWatch(DBusWatch *watch, void *data);
    static void removeWatch(DBusWatch *watch, void *data);
    static void toggleWatch(DBusWatch *watch, void *data);
    static DBusHandlerResult onFilter(DBusConnection *, DBusMessage *message, void *data);
    static void onAnswer(DBusPendingCall *pending, void *data);
    static dbus_bool_t addTimeout(DBusTimeout *timeout, void *data);
    static void removeTimeout(DBusTimeout *timeout, void *data);
    static void toggleTimeout(DBusTimeout *timeout, void *data);
};

std::unique_ptr<AtspiFrameActivations> AtspiFrameActivations::open(StackingTitles stacking)
{
    DBusConnection *connection = PrivateDBus::open(PrivateDBus::accessibilityBusAddress());
    if (!connection)
        return nullptr;
    std::unique_ptr<AtspiFrameActivations> activations(new AtspiFrameActivations(connection, std::move(stacking)));
    if (!activations->listen())
        return nullptr;
    return activations;
}

AtspiFrameActivations::AtspiFrameActivations(DBusConnection *connection, StackingTitles stacking)
    : m_connection(connection)
    , m_stacking(std::move(stacking))
{
    m_lookAfterJoin.setSingleShot(true);
    m_lookAfterJoin.setInterval(kLookAgainAfterJoinMs);
    connect(&m_lookAfterJoin, &QTimer::timeout, this, &AtspiFrameActivations::lookForActiveFrames);
}

AtspiFrameActivations::~AtspiFrameActivations()
{
    dbus_connection_remove_filter(m_connection, &Callbacks::onFilter, this);
    for (DBusPendingCall *pending : m_pendingCalls) {
        dbus_pending_call_cancel(pending);
        dbus_pending_call_unref(pending);
    }
    m_pendingCalls.clear();
    // The notifiers go before the connection's socket closes; libdbus is told to call none of
    // the functions any more.
    for (const auto &watched : m_notifiers)
        delete watched.second;
    m_notifiers.clear();
    for (const auto &timed : m_timers)
        delete timed.second;
    m_timers.clear();
    dbus_connection_set_watch_functions(m_connection, nullptr, nullptr, nullptr, nullptr, nullptr);
    dbus_connection_set_timeout_functions(m_connection, nullptr, nullptr, nullptr, nullptr, nullptr);
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
    // The registry announces each application that joins the bus, as a browser does when the
    // accessibility switch is turned on after it started.
    dbus_bus_add_match(m_connection,
                       "type='signal',interface='org.a11y.atspi.Event.Object',member='ChildrenChanged',"
                       "path='/org/a11y/atspi/accessible/root'",
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
                                             &Callbacks::toggleWatch, this, nullptr)
        || !dbus_connection_set_timeout_functions(m_connection, &Callbacks::addTimeout, &Callbacks::removeTimeout,
                                                  &Callbacks::toggleTimeout, this, nullptr))
        return false;
    lookForActiveFrames();
    // Signals that came with the answers above are queued already.
    dispatch();
    return true;
}

void AtspiFrameActivations::lookForActiveFrames()
{
    if (m_stacking)
        m_stackingTitles = m_stacking();
    ask(dbus_message_new_method_call(kRegistry, kRoot, kAccessible, "GetChildren"), Look{});
}

void AtspiFrameActivations::ask(DBusMessage *call, const Look &look)
{
    if (!call)
        return;
    DBusPendingCall *pending = nullptr;
    // Answers come in Qt's event loop; an application that does not answer in time costs only
    // its own frames.
    if (dbus_connection_send_with_reply(m_connection, call, &pending, kAnswerTimeoutMs) && pending) {
        auto *asked = new std::pair<AtspiFrameActivations *, Look>(this, look);
        if (dbus_pending_call_set_notify(pending, &Callbacks::onAnswer, asked, [](void *data) {
                delete static_cast<std::pair<AtspiFrameActivations *, Look> *>(data);
            }))
            m_pendingCalls.push_back(pending);
        else
            dbus_pending_call_unref(pending);
    }
    dbus_message_unref(call);
}

void AtspiFrameActivations::Callbacks::onAnswer(DBusPendingCall *pending, void *data)
{
    const auto *asked = static_cast<std::pair<AtspiFrameActivations *, Look> *>(data);
    asked->first->onAnswer(pending, asked->second);
}

void AtspiFrameActivations::onAnswer(DBusPendingCall *pending, const Look &look)
{
    DBusMessage *reply = dbus_pending_call_steal_reply(pending);
    std::erase(m_pendingCalls, pending);
    dbus_pending_call_unref(pending); // frees `look` once this returns: copy what is kept
    if (!reply)
        return;
    if (dbus_message_get_type(reply) != DBUS_MESSAGE_TYPE_METHOD_RETURN) {
        dbus_message_unref(reply);
        return;
    }
    const Look asked = look;
    switch (asked.step) {
    case Look::Applications:
    case Look::Frames: {
        const auto children = objectReferences(reply);
        for (int i = 0; i < children.size(); ++i) {
            Look next = asked;
            next.busName = children.at(i).first;
            next.path = children.at(i).second;
            if (asked.step == Look::Applications) {
                next.step = Look::Frames;
                next.application = i;
                ask(dbus_message_new_method_call(next.busName.constData(), next.path.constData(), kAccessible,
                                                 "GetChildren"),
                    next);
            } else {
                next.step = Look::Name;
                next.frame = i;
                DBusMessage *call = dbus_message_new_method_call(next.busName.constData(), next.path.constData(),
                                                                 "org.freedesktop.DBus.Properties", "Get");
                const char *interface = kAccessible;
                const char *property = "Name";
                if (call)
                    dbus_message_append_args(call, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                                             DBUS_TYPE_INVALID);
                ask(call, next);
            }
        }
        break;
    }
    case Look::Name: {
        Look next = asked;
        next.title = variantString(reply);
        // Only browser frames are asked for their state: other programs may keep it for ever.
        if (isBrowser(Frame{next.busName, next.path, next.title})) {
            next.step = Look::State;
            ask(dbus_message_new_method_call(next.busName.constData(), next.path.constData(), kAccessible, "GetState"),
                next);
        }
        break;
    }
    case Look::State:
        if (holdsActiveState(reply))
            takeActiveFrame(asked);
        break;
    }
    dbus_message_unref(reply);
}

void AtspiFrameActivations::takeActiveFrame(const Look &look)
{
    const auto same = [&](const Frame &frame) { return frame.busName == look.busName && frame.path == look.path; };
    // An event heard since the connection was made is newer than anything found here.
    if (std::any_of(m_frames.cbegin(), m_frames.cend(), same))
        return;
    const qsizetype stacked = m_stackingTitles.indexOf(look.title);
    const auto rank = std::make_tuple(stacked < 0 ? m_stackingTitles.size() : stacked, look.application, look.frame);
    m_foundAtConnect[{look.busName, look.path}] = rank;
    // After every frame heard of by its events, and after those found here that rank higher.
    qsizetype at = m_frames.size();
    for (qsizetype i = 0; i < m_frames.size(); ++i) {
        const auto found = m_foundAtConnect.find({m_frames.at(i).busName, m_frames.at(i).path});
        if (found != m_foundAtConnect.end() && found->second > rank) {
            at = i;
            break;
        }
    }
    m_frames.insert(at, {look.busName, look.path, look.title, true});
    if (m_frames.size() > kMaxFrames)
        m_frames.resize(kMaxFrames);
    Q_EMIT activationsChanged();
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

dbus_bool_t AtspiFrameActivations::Callbacks::addTimeout(DBusTimeout *timeout, void *data)
{
    auto *self = static_cast<AtspiFrameActivations *>(data);
    auto *timer = new QTimer(self);
    timer->setInterval(dbus_timeout_get_interval(timeout));
    QObject::connect(timer, &QTimer::timeout, self, [self, timeout] {
        dbus_timeout_handle(timeout);
        self->dispatch();
    });
    if (dbus_timeout_get_enabled(timeout))
        timer->start();
    self->m_timers[timeout] = timer;
    return TRUE;
}

void AtspiFrameActivations::Callbacks::removeTimeout(DBusTimeout *timeout, void *data)
{
    auto *self = static_cast<AtspiFrameActivations *>(data);
    const auto found = self->m_timers.find(timeout);
    if (found == self->m_timers.end())
        return;
    // libdbus may remove a timeout from inside its own timer's handler.
    found->second->stop();
    found->second->deleteLater();
    self->m_timers.erase(found);
}

void AtspiFrameActivations::Callbacks::toggleTimeout(DBusTimeout *timeout, void *data)
{
    auto *self = static_cast<AtspiFrameActivations *>(data);
    const auto found = self->m_timers.find(timeout);
    if (found == self->m_timers.end())
        return;
    found->second->setInterval(dbus_timeout_get_interval(timeout));
    if (dbus_timeout_get_enabled(timeout))
        found->second->start();
    else
        found->second->stop();
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
    if (dbus_message_is_signal(message, kObjectEvents, "ChildrenChanged")) {
        if (qstrcmp(dbus_message_get_path(message), kRoot) == 0 && eventKind(message) == "add") {
            lookForActiveFrames();
            m_lookAfterJoin.start();
        }
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
        m_foundAtConnect.erase({busName, path});
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
