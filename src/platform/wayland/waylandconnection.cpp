#include "platform/wayland/waylandconnection.h"

#include <wayland-client.h>

#include <QtGlobal>

#include <algorithm>
#include <cerrno>

namespace {

const wl_registry_listener registryListener = [] {
    wl_registry_listener listener{};
    listener.global = [](void *data, wl_registry *registry, std::uint32_t name, const char *interface,
                         std::uint32_t version) {
        Q_UNUSED(registry)
        auto *globals = static_cast<QList<WaylandConnection::Global> *>(data);
        globals->append({name, QByteArray(interface), version});
    };
    listener.global_remove = [](void *data, wl_registry *registry, std::uint32_t name) {
        Q_UNUSED(registry)
        auto *globals = static_cast<QList<WaylandConnection::Global> *>(data);
        globals->removeIf([name](const WaylandConnection::Global &global) { return global.name == name; });
    };
    return listener;
}();

} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_SOCKET"))
        return nullptr;
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display));
    if (!connection->roundtrip())
        return nullptr;
    return connection;
}

WaylandConnection::WaylandConnection(wl_display *display)
    : m_display(display)
{
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &registryListener, &m_globals);
}

WaylandConnection::~WaylandConnection()
{
    m_readNotifier.reset();
    m_writeNotifier.reset();
    wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

bool WaylandConnection::offers(const char *interface) const
{
    return std::any_of(m_globals.cbegin(), m_globals.cend(),
                       [interface](const Global &global) { return global.interface == interface; });
}

void *WaylandConnection::bind(const wl_interface *interface, std::uint32_t maxVersion) const
{
    for (const Global &global : m_globals) {
        if (global.interface == interface->name) {
            const std::uint32_t version = std::min({global.version, maxVersion,
                                                    static_cast<std::uint32_t>(interface->version)});
            return wl_registry_bind(m_registry, global.name, interface, version);
        }
    }
    return nullptr;
}

bool WaylandConnection::roundtrip()
{
    if (m_broken)
        return false;
    if (wl_display_roundtrip(m_display) < 0) {
        checkError();
        return false;
    }
    return true;
}

void WaylandConnection::startDispatching()
{
    if (m_readNotifier || m_broken)
        return;
    const int fd = wl_display_get_fd(m_display);
    m_readNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_readNotifier.get(), &QSocketNotifier::activated, this, &WaylandConnection::onReadable);
    m_writeNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, &WaylandConnection::flush);
    // Events that arrived during the set-up are already queued: the socket will not tell of them.
    wl_display_dispatch_pending(m_display);
    flush();
}

void WaylandConnection::onReadable()
{
    if (m_broken)
        return;
    // Events queued by an earlier call must be dispatched before reading more.
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0) {
            checkError();
            return;
        }
    }
    // The socket is readable and libwayland reads without waiting: this never blocks.
    if (wl_display_read_events(m_display) < 0) {
        checkError();
        return;
    }
    if (wl_display_dispatch_pending(m_display) < 0) {
        checkError();
        return;
    }
    flush();
}

void WaylandConnection::flush()
{
    if (m_broken)
        return;
    const int sent = wl_display_flush(m_display);
    const bool blocked = sent < 0 && errno == EAGAIN;
    if (sent < 0 && !blocked) {
        checkError();
        return;
    }
    // A full socket: send the rest when the compositor has read some.
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(blocked);
}

bool WaylandConnection::isBroken() const
{
    return m_broken;
}

void WaylandConnection::checkError()
{
    if (m_broken)
        return;
    m_broken = true;
    if (m_readNotifier)
        m_readNotifier->setEnabled(false);
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
    Q_EMIT broken();
}
