// The GLib headers use names that Qt defines as macros, so they come first.
#include <atspi/atspi.h>
#include <dbus/dbus.h>

#include "platform/linux/atspiaddressreader.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

namespace {

// A walk that found nothing is tried again after this long, as a browser that has just
// started builds its accessible tree after its window shows its title.
constexpr qint64 kRetryAfterMs = 2000;
// Bounds on one walk, so that a huge tree cannot keep the discovery thread busy.
constexpr int kMaxDepth = 48;
constexpr int kMaxNodes = 1500;

// libatspi keeps one connection per process. It gets a main context of its own, driven only
// by the discovery thread, so that Qt's event loop never touches that connection.
std::mutex g_busMutex;
GMainContext *g_context = nullptr;

// libatspi asks the bus at its start for every application's object and cache events, to keep
// its cache current. The reader wants none: each walk clears the cache it goes through, and
// the text it follows is asked for afresh. Where an assistive program has the browsers send
// those events, each scroll of a long page would otherwise be delivered to this program too.
void stopObjectEvents(DBusConnection *bus)
{
    for (const char *rule : {"type='signal',interface='org.a11y.atspi.Event.Object',member='ChildrenChanged'",
                             "type='signal',interface='org.a11y.atspi.Event.Object',member='PropertyChange'",
                             "type='signal',interface='org.a11y.atspi.Event.Object',member='StateChanged'",
                             "type='signal',interface='org.a11y.atspi.Cache',member='AddAccessible'",
                             "type='signal',interface='org.a11y.atspi.Cache',member='RemoveAccessible'"})
        dbus_bus_remove_match(bus, rule, nullptr);
}

// Reaches the accessibility bus. A failure is not kept for good: on a busy desktop the bus
// launcher can answer after libatspi's timeout, so a later look asks again, at most every few
// seconds so that a desktop without the bus is not asked at every tick. Called under g_busMutex.
bool initialiseBus()
{
    static bool available = false;
    static std::chrono::steady_clock::time_point lastTry;
    static bool tried = false;
    if (available)
        return true;
    const auto now = std::chrono::steady_clock::now();
    if (tried && now - lastTry < std::chrono::seconds(5))
        return false;
    tried = true;
    lastTry = now;
    // Without a reachable bus libatspi still initialises, with no connection to use; asking for
    // the bus again connects once it can be reached.
    if (atspi_init() < 0 || !atspi_get_a11y_bus())
        return false;
    // libatspi waits up to 15 s for an application it deems just started; Firefox on Wayland
    // left one question of a first walk unanswered that long, holding the look and the
    // program's end. A walk passes over what does not answer and a later one asks again.
    atspi_set_timeout(800, 2000);
    stopObjectEvents(atspi_get_a11y_bus());
    if (!g_context) {
        g_context = g_main_context_new();
        atspi_set_main_context(g_context);
    }
    // The registry is not asked here: on a busy desktop its first answer can come after
    // libatspi's timeout, and a failed first call must not end discovery for good. Each
    // walk asks again and passes over what does not answer.
    AtspiAccessible *desktop = atspi_get_desktop(0);
    if (!desktop)
        return false;
    g_object_unref(desktop);
    available = true;
    return true;
}

// Delivers the bus's pending signals (cache updates), so that none pile up unread.
void drainBus()
{
    if (g_context) {
        while (g_main_context_iteration(g_context, FALSE)) {
        }
    }
}

QString takeText(gchar *text)
{
    const QString result = text ? QString::fromUtf8(text) : QString();
    g_free(text);
    return result;
}

// The text of an accessible that offers the text interface; `ok` false when it went away.
QString textOf(AtspiAccessible *accessible, bool *ok)
{
    *ok = true;
    AtspiText *text = atspi_accessible_get_text_iface(accessible);
    if (!text)
        return {};
    GError *error = nullptr;
    QString result = takeText(atspi_text_get_text(text, 0, -1, &error));
    g_object_unref(text);
    if (error) {
        g_error_free(error);
        *ok = false;
        return {};
    }
    return result;
}

bool isEditableField(AtspiAccessible *accessible, AtspiRole role)
{
    if (role != ATSPI_ROLE_ENTRY && role != ATSPI_ROLE_COMBO_BOX && role != ATSPI_ROLE_TEXT)
        return false;
    AtspiStateSet *states = atspi_accessible_get_state_set(accessible);
    const bool editable = states && atspi_state_set_contains(states, ATSPI_STATE_EDITABLE);
    if (states)
        g_object_unref(states);
    return editable;
}

// Pages hold no address bar; skipping them keeps a walk short on long pages.
bool isPage(AtspiRole role)
{
    return role == ATSPI_ROLE_DOCUMENT_WEB || role == ATSPI_ROLE_DOCUMENT_FRAME
        || role == ATSPI_ROLE_DOCUMENT_TEXT || role == ATSPI_ROLE_EMBEDDED;
}

// Set by a walk that a question went unanswered or failed in (under g_busMutex).
bool g_walkInterrupted = false;

struct Walk
{
    int nodes = 0;

    // Depth-first: the first editable entry or combo box with text, returned with a reference.
    AtspiAccessible *find(AtspiAccessible *accessible, int depth)
    {
        if (++nodes > kMaxNodes || depth > kMaxDepth)
            return nullptr;
        GError *error = nullptr;
        const AtspiRole role = atspi_accessible_get_role(accessible, &error);
        if (error) {
            g_error_free(error);
            g_walkInterrupted = true;
            return nullptr;
        }
        if (isPage(role))
            return nullptr;
        if (isEditableField(accessible, role)) {
            bool ok = false;
            if (!textOf(accessible, &ok).isEmpty())
                return static_cast<AtspiAccessible *>(g_object_ref(accessible));
        }
        const gint count = atspi_accessible_get_child_count(accessible, &error);
        if (error) {
            g_error_free(error);
            g_walkInterrupted = true;
            return nullptr;
        }
        for (gint i = 0; i < count; ++i) {
            AtspiAccessible *child = atspi_accessible_get_child_at_index(accessible, i, &error);
            if (error) {
                g_error_free(error);
                error = nullptr;
                g_walkInterrupted = true;
                continue;
            }
            if (!child)
                continue;
            AtspiAccessible *found = find(child, depth + 1);
            g_object_unref(child);
            if (found)
                return found;
        }
        return nullptr;
    }
};

QString nameOf(AtspiAccessible *accessible)
{
    GError *error = nullptr;
    QString name = takeText(atspi_accessible_get_name(accessible, &error));
    if (error)
        g_error_free(error);
    return name;
}

} // namespace

AtspiAddressReader::AtspiAddressReader()
{
    const std::lock_guard lock(g_busMutex);
    m_available = initialiseBus();
}

bool AtspiAddressReader::isAvailable() const
{
    if (!m_available) {
        const std::lock_guard lock(g_busMutex);
        m_available = initialiseBus();
    }
    return m_available;
}

AtspiAddressReader::~AtspiAddressReader()
{
    const std::lock_guard lock(g_busMutex);
    forgetField();
}

void AtspiAddressReader::forgetField()
{
    if (m_field)
        g_object_unref(m_field);
    m_field = nullptr;
    m_fieldFrame = {};
}

QString AtspiAddressReader::addressOf(std::uint32_t windowId, std::uint32_t pid, const QString &title)
{
    if (pid == 0 || !isAvailable())
        return {};
    return read("x11:" + QByteArray::number(windowId), title, [&] { return findField(pid, title); });
}

QString AtspiAddressReader::addressOfFrame(const QByteArray &busName, const QByteArray &path, const QString &title)
{
    if (busName.isEmpty() || !isAvailable())
        return {};
    const QString text = read(busName + path, title, [&] { return findFrameField(busName, path, title); });
    // A field found in another of the application's frames (the one asked for is not listed
    // yet, as with a window just opened) stands in this once, but is not followed: the next
    // look walks again, and finds the frame's own field once it is there.
    const std::lock_guard lock(g_busMutex);
    if (m_field && m_fieldFrame.second != path) {
        forgetField();
        m_walked = false;
    }
    return text;
}

QString AtspiAddressReader::read(const QByteArray &window, const QString &title,
                                 const std::function<_AtspiAccessible *()> &find)
{
    const std::lock_guard lock(g_busMutex);
    drainBus();

    if (window != m_window) {
        forgetField();
        m_walked = false;
        m_window = window;
    }
    if (m_field) {
        bool ok = false;
        const QString text = textOf(m_field, &ok);
        if (ok && (!text.isEmpty() || title == m_titleAtWalk))
            return text;
        forgetField();
        m_walked = false;
    }
    const bool retryDue = !m_sinceWalk.isValid() || m_sinceWalk.elapsed() >= kRetryAfterMs;
    if (m_walked && title == m_titleAtWalk && !retryDue)
        return {};

    g_walkInterrupted = false;
    m_field = find();
    // A browser asked for the first time may leave a question unanswered while it builds its
    // tree (native Firefox on Wayland does): one more walk then finds the field.
    if (!m_field && g_walkInterrupted)
        m_field = find();
    m_walked = true;
    m_titleAtWalk = title;
    m_sinceWalk.start();
    ++m_walks;
    if (!m_field)
        return {};
    bool ok = false;
    return textOf(m_field, &ok);
}

namespace {

// The application's frames, `first` (when it is one of them) leading, then those named
// `title`, then the others; each with a reference.
std::vector<AtspiAccessible *> framesOf(AtspiAccessible *app, const QByteArray &firstPath, const QString &title)
{
    atspi_accessible_clear_cache(app);
    const gint frames = atspi_accessible_get_child_count(app, nullptr);
    std::vector<AtspiAccessible *> ordered;
    std::size_t named = 0;
    for (gint f = 0; f < frames; ++f) {
        AtspiAccessible *frame = atspi_accessible_get_child_at_index(app, f, nullptr);
        if (!frame)
            continue;
        if (!firstPath.isEmpty() && firstPath == ATSPI_OBJECT(frame)->path) {
            ordered.insert(ordered.begin(), frame);
            ++named;
        } else if (nameOf(frame) == title) {
            ordered.insert(ordered.begin() + static_cast<std::ptrdiff_t>(named++), frame);
        } else {
            ordered.push_back(frame);
        }
    }
    return ordered;
}

// The first address field in the frames, in their order; each frame's reference is dropped.
// `frameOf` becomes the bus name and path of the frame that holds it.
AtspiAccessible *fieldIn(const std::vector<AtspiAccessible *> &frames, std::pair<QByteArray, QByteArray> &frameOf)
{
    AtspiAccessible *found = nullptr;
    Walk walk;
    for (AtspiAccessible *frame : frames) {
        if (!found) {
            found = walk.find(frame, 0);
            const AtspiObject *object = ATSPI_OBJECT(frame);
            if (found && object->app)
                frameOf = {QByteArray(object->app->bus_name), QByteArray(object->path)};
        }
        g_object_unref(frame);
    }
    return found;
}

// The first application on the bus that `matches`, with a reference; null for none.
template<typename Matches>
AtspiAccessible *applicationWhere(AtspiAccessible *desktop, Matches matches)
{
    GError *error = nullptr;
    const gint apps = atspi_accessible_get_child_count(desktop, &error);
    for (gint i = 0; !error && i < apps; ++i) {
        AtspiAccessible *app = atspi_accessible_get_child_at_index(desktop, i, &error);
        if (error || !app)
            break;
        if (matches(app))
            return app;
        g_object_unref(app);
    }
    if (error)
        g_error_free(error);
    return nullptr;
}

// The desktop with its list of applications asked afresh, as programs start and end.
AtspiAccessible *freshDesktop()
{
    AtspiAccessible *desktop = atspi_get_desktop(0);
    if (desktop)
        atspi_accessible_clear_cache(desktop);
    return desktop;
}

} // namespace

_AtspiAccessible *AtspiAddressReader::findField(std::uint32_t pid, const QString &title)
{
    AtspiAccessible *desktop = freshDesktop();
    if (!desktop)
        return nullptr;
    AtspiAccessible *app = applicationWhere(desktop, [pid](AtspiAccessible *candidate) {
        GError *error = nullptr;
        const guint appPid = atspi_accessible_get_process_id(candidate, &error);
        if (error) {
            g_error_free(error);
            return false;
        }
        return appPid == pid;
    });
    g_object_unref(desktop);
    if (!app)
        return nullptr;
    // The frame named like the window first; then the application's other frames.
    AtspiAccessible *found = fieldIn(framesOf(app, {}, title), m_fieldFrame);
    g_object_unref(app);
    return found;
}

_AtspiAccessible *AtspiAddressReader::findFrameField(const QByteArray &busName, const QByteArray &path,
                                                     const QString &title)
{
    AtspiAccessible *desktop = freshDesktop();
    if (!desktop)
        return nullptr;
    AtspiAccessible *app = applicationWhere(desktop, [&busName](AtspiAccessible *candidate) {
        const AtspiApplication *application = ATSPI_OBJECT(candidate)->app;
        return application && busName == application->bus_name;
    });
    g_object_unref(desktop);
    if (!app)
        return nullptr;
    // The frame the bus reported active; should its path not be among the application's
    // children, the one named like it, then the others.
    AtspiAccessible *found = fieldIn(framesOf(app, path, title), m_fieldFrame);
    g_object_unref(app);
    return found;
}
