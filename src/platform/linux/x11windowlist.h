#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <vector>

struct xcb_connection_t;

// One top-level window of the X11 desktop.
struct TopLevelWindow
{
    std::uint32_t id = 0;
    QString title;
    std::uint32_t pid = 0; // 0 when the window does not name its process
};

// The desktop's top-level windows in stacking order, topmost first, with their titles, read
// over a connection of its own. With a window manager the list is its EWMH client stacking
// list; without one, the root window's children.
class X11WindowList final
{
public:
    // Connects to `display` (the DISPLAY variable when empty).
    explicit X11WindowList(const QByteArray &display = {});
    ~X11WindowList();
    Q_DISABLE_COPY_MOVE(X11WindowList)

    bool isConnected() const;
    std::vector<TopLevelWindow> topmostFirst();

private:
    std::vector<std::uint32_t> stackingBottomFirst();

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint32_t m_clientListStacking = 0;
    std::uint32_t m_netWmName = 0;
    std::uint32_t m_netWmPid = 0;
    std::uint32_t m_utf8String = 0;
};
