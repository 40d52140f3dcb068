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
// list; without one, the root window's children. The list is kept between calls and read
// again only after the X server reported a change (stacking, titles, windows coming and
// going), so asking at every web-mode tick costs no round trip while the desktop is still.
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
    std::vector<TopLevelWindow> readWindows();
    void watch(std::uint32_t window, std::uint32_t events);
    bool changedSinceLastRead();

    std::vector<TopLevelWindow> m_cached;
    bool m_cacheValid = false;

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint32_t m_clientListStacking = 0;
    std::uint32_t m_netWmName = 0;
    std::uint32_t m_netWmPid = 0;
    std::uint32_t m_utf8String = 0;
};
