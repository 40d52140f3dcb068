#include "platform/linux/x11windowlist.h"

#include <QByteArray>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};

template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// Titles longer than this are cut; the marks sit at their ends only for long page titles.
constexpr std::uint32_t kTitleLongs = 1024;

QString textOf(const xcb_get_property_reply_t *reply, bool utf8)
{
    if (!reply || reply->format != 8)
        return {};
    const auto *bytes = static_cast<const char *>(xcb_get_property_value(reply));
    const int length = xcb_get_property_value_length(reply);
    return utf8 ? QString::fromUtf8(bytes, length) : QString::fromLatin1(bytes, length);
}

} // namespace

X11WindowList::X11WindowList(const QByteArray &display)
{
    int screenNumber = 0;
    m_connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection))
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return;
    m_root = screens.data->root;
    // The stacking list is a property of the root; without a window manager, the root's
    // children come and go with structure events.
    watch(m_root, XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);

    static constexpr std::array<const char *, 4> kNames = {
        "_NET_CLIENT_LIST_STACKING", "_NET_WM_NAME", "_NET_WM_PID", "UTF8_STRING"};
    std::array<xcb_intern_atom_cookie_t, kNames.size()> cookies{};
    for (std::size_t i = 0; i < kNames.size(); ++i)
        cookies[i] = xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(qstrlen(kNames[i])), kNames[i]);
    std::array<std::uint32_t *, kNames.size()> targets = {
        &m_clientListStacking, &m_netWmName, &m_netWmPid, &m_utf8String};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookies[i], nullptr));
        *targets[i] = reply ? reply->atom : std::uint32_t(XCB_ATOM_NONE);
    }
}

X11WindowList::~X11WindowList()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool X11WindowList::isConnected() const
{
    return m_connection && !xcb_connection_has_error(m_connection) && m_root != 0;
}

std::vector<std::uint32_t> X11WindowList::stackingBottomFirst()
{
    std::vector<std::uint32_t> windows;
    const xcb_get_property_cookie_t listCookie = xcb_get_property(
        m_connection, 0, m_root, m_clientListStacking, XCB_ATOM_WINDOW, 0, 0x10000);
    const Reply<xcb_get_property_reply_t> list(xcb_get_property_reply(m_connection, listCookie, nullptr));
    if (list && list->format == 32 && list->type == XCB_ATOM_WINDOW) {
        const auto *ids = static_cast<const std::uint32_t *>(xcb_get_property_value(list.get()));
        windows.assign(ids, ids + xcb_get_property_value_length(list.get()) / 4);
        return windows;
    }
    // No EWMH window manager: the root's children are the top-level windows, bottom first.
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
    if (tree) {
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        windows.assign(children, children + xcb_query_tree_children_length(tree.get()));
    }
    return windows;
}

void X11WindowList::watch(std::uint32_t window, std::uint32_t events)
{
    xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &events);
}

bool X11WindowList::changedSinceLastRead()
{
    bool changed = false;
    // Any event or error on this connection is about the watched windows.
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        changed = true;
        std::free(event);
    }
    return changed;
}

std::vector<TopLevelWindow> X11WindowList::topmostFirst()
{
    if (!isConnected())
        return {};
    // Events are drained before the read: a change during the read leaves an event for next time.
    if (changedSinceLastRead() || !m_cacheValid) {
        m_cached = readWindows();
        m_cacheValid = true;
    }
    return m_cached;
}

std::vector<TopLevelWindow> X11WindowList::readWindows()
{
    std::vector<TopLevelWindow> result;
    const std::vector<std::uint32_t> bottomFirst = stackingBottomFirst();
    // Watch each window's titles before reading them, so no later change goes unreported.
    for (const std::uint32_t window : bottomFirst)
        watch(window, XCB_EVENT_MASK_PROPERTY_CHANGE);

    // Every request goes out before the first reply is awaited: one round trip for all.
    struct Cookies
    {
        xcb_get_property_cookie_t netName;
        xcb_get_property_cookie_t name;
        xcb_get_property_cookie_t pid;
    };
    std::vector<Cookies> cookies;
    cookies.reserve(bottomFirst.size());
    for (auto it = bottomFirst.rbegin(); it != bottomFirst.rend(); ++it) {
        cookies.push_back({
            xcb_get_property(m_connection, 0, *it, m_netWmName, m_utf8String, 0, kTitleLongs),
            xcb_get_property(m_connection, 0, *it, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, kTitleLongs),
            xcb_get_property(m_connection, 0, *it, m_netWmPid, XCB_ATOM_CARDINAL, 0, 1),
        });
    }
    result.reserve(cookies.size());
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        TopLevelWindow window;
        window.id = bottomFirst[bottomFirst.size() - 1 - i];
        // A window that went away meanwhile answers with an error: its texts stay empty.
        const Reply<xcb_get_property_reply_t> netName(xcb_get_property_reply(m_connection, cookies[i].netName, nullptr));
        const Reply<xcb_get_property_reply_t> name(xcb_get_property_reply(m_connection, cookies[i].name, nullptr));
        const Reply<xcb_get_property_reply_t> pid(xcb_get_property_reply(m_connection, cookies[i].pid, nullptr));
        window.title = textOf(netName.get(), true);
        if (window.title.isEmpty())
            window.title = textOf(name.get(), name && name->type == m_utf8String);
        if (pid && pid->format == 32 && xcb_get_property_value_length(pid.get()) >= 4)
            window.pid = *static_cast<const std::uint32_t *>(xcb_get_property_value(pid.get()));
        result.push_back(std::move(window));
    }
    return result;
}
