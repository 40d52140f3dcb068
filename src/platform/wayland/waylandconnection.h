#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>

#include <cstdint>
#include <memory>

struct wl_display;
struct wl_interface;
struct wl_registry;

// A connection of the program's own to the session's compositor (WAYLAND_DISPLAY), apart from
// Qt's, with the list of globals it offers. Once dispatching, its events are read inside Qt's
// event loop when the socket is readable: nothing polls.
class WaylandConnection final : public QObject
{
    Q_OBJECT
public:
    struct Global
    {
        std::uint32_t name = 0;
        QByteArray interface;
        std::uint32_t version = 0;
    };

    // Null when no compositor can be reached.
    static std::unique_ptr<WaylandConnection> open();
    ~WaylandConnection() override;
    WaylandConnection(const WaylandConnection &) = delete;
    WaylandConnection &operator=(const WaylandConnection &) = delete;

    wl_display *display() const { return m_display; }
    const QList<Global> &globals() const { return m_globals; }
    bool offers(const char *interface) const;
    // Binds the first global of the interface at its version, but no higher than
    // `maxVersion`; null when the compositor does not offer it.
    void *bind(const wl_interface *interface, std::uint32_t maxVersion) const;

    // Waits until the compositor has handled every request so far (only while setting up).
    bool roundtrip();
    // Reads events as they come, from now on.
    void startDispatching();
    // Sends the requests made so far; call after each batch of requests.
    void flush();
    bool isBroken() const;

Q_SIGNALS:
    // The compositor closed the connection or reported a protocol error.
    void broken();

private:
    explicit WaylandConnection(wl_display *display);
    void onReadable();
    void checkError();

    wl_display *m_display;
    wl_registry *m_registry = nullptr;
    QList<Global> m_globals;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    bool m_broken = false;
};
