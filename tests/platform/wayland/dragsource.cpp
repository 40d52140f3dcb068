#include "platform/wayland/dragsource.h"

#include "platform/wayland/clearbuffer.h"
#include "platform/wayland/dragpassage.h"
#include "platform/wayland/waylandconnection.h"

#include <wayland-client.h>
#include <wlr-layer-shell-unstable-v1-client.h>

#include <unistd.h>

namespace {

template <typename Listener>
Listener noListener()
{
    return Listener{};
}

} // namespace

DragSource::DragSource(QByteArray text)
    : m_connection(WaylandConnection::open())
    , m_text(std::move(text))
{
    if (!m_connection)
        return;
    m_compositor = static_cast<wl_compositor *>(m_connection->bind(&wl_compositor_interface, 4));
    m_shm = static_cast<wl_shm *>(m_connection->bind(&wl_shm_interface, 1));
    m_layerShell = static_cast<zwlr_layer_shell_v1 *>(m_connection->bind(&zwlr_layer_shell_v1_interface, 3));
    m_seat = static_cast<wl_seat *>(m_connection->bind(&wl_seat_interface, 1));
    m_manager = static_cast<wl_data_device_manager *>(m_connection->bind(&wl_data_device_manager_interface, 3));
    if (!m_compositor || !m_shm || !m_layerShell || !m_seat || !m_manager)
        return;

    static const wl_pointer_listener pointerListener = [] {
        auto listener = noListener<wl_pointer_listener>();
        listener.enter = [](void *, wl_pointer *, uint32_t, wl_surface *, wl_fixed_t, wl_fixed_t) {};
        listener.leave = [](void *, wl_pointer *, uint32_t, wl_surface *) {};
        listener.motion = [](void *, wl_pointer *, uint32_t, wl_fixed_t, wl_fixed_t) {};
        listener.button = [](void *data, wl_pointer *, uint32_t serial, uint32_t, uint32_t, uint32_t state) {
            static_cast<DragSource *>(data)->onButton(serial, state);
        };
        listener.axis = [](void *, wl_pointer *, uint32_t, uint32_t, wl_fixed_t) {};
        return listener;
    }();
    // The virtual pointer is on the seat already: no need to wait for its capabilities.
    m_pointer = wl_seat_get_pointer(m_seat);
    wl_pointer_add_listener(m_pointer, &pointerListener, this);
    // The drag passes over this surface too.
    m_passage = std::make_unique<DragPassage>(m_manager, m_seat, nullptr);

    static const zwlr_layer_surface_v1_listener surfaceListener = [] {
        auto listener = noListener<zwlr_layer_surface_v1_listener>();
        listener.configure = [](void *data, zwlr_layer_surface_v1 *, uint32_t serial, uint32_t width,
                                uint32_t height) { static_cast<DragSource *>(data)->onConfigure(serial, width, height); };
        listener.closed = [](void *, zwlr_layer_surface_v1 *) {};
        return listener;
    }();
    m_surface = wl_compositor_create_surface(m_compositor);
    m_layerSurface = zwlr_layer_shell_v1_get_layer_surface(m_layerShell, m_surface, nullptr,
                                                           ZWLR_LAYER_SHELL_V1_LAYER_TOP, "drag-source");
    zwlr_layer_surface_v1_add_listener(m_layerSurface, &surfaceListener, this);
    zwlr_layer_surface_v1_set_anchor(m_layerSurface, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP
                                                         | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM
                                                         | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT
                                                         | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(m_layerSurface, -1);
    wl_surface_commit(m_surface);
    m_connection->roundtrip();
    m_connection->startDispatching();
}

DragSource::~DragSource()
{
    if (!m_connection)
        return;
    if (m_source)
        wl_data_source_destroy(m_source);
    if (m_layerSurface)
        zwlr_layer_surface_v1_destroy(m_layerSurface);
    if (m_surface)
        wl_surface_destroy(m_surface);
    if (m_buffer)
        wl_buffer_destroy(m_buffer);
    m_passage.reset();
    if (m_pointer)
        wl_pointer_destroy(m_pointer);
    if (m_manager)
        wl_data_device_manager_destroy(m_manager);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_layerShell)
        zwlr_layer_shell_v1_destroy(m_layerShell);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_compositor)
        wl_compositor_destroy(m_compositor);
    m_connection->roundtrip();
}

void DragSource::onConfigure(uint32_t serial, uint32_t width, uint32_t height)
{
    zwlr_layer_surface_v1_ack_configure(m_layerSurface, serial);
    if (!m_buffer && width > 0 && height > 0) {
        m_buffer = createClearBuffer(m_shm, static_cast<int>(width), static_cast<int>(height));
        wl_surface_attach(m_surface, m_buffer, 0, 0);
        wl_surface_damage(m_surface, 0, 0, static_cast<int>(width), static_cast<int>(height));
    }
    wl_surface_commit(m_surface);
    m_connection->flush();
}

void DragSource::onButton(uint32_t serial, uint32_t state)
{
    if (state != WL_POINTER_BUTTON_STATE_PRESSED || m_source)
        return;
    static const wl_data_source_listener sourceListener = [] {
        auto listener = noListener<wl_data_source_listener>();
        listener.target = [](void *, wl_data_source *, const char *) {};
        listener.send = [](void *data, wl_data_source *, const char *, int32_t fd) {
            static_cast<DragSource *>(data)->send(fd);
        };
        listener.cancelled = [](void *data, wl_data_source *) { static_cast<DragSource *>(data)->m_ended = true; };
        listener.dnd_drop_performed = [](void *, wl_data_source *) {};
        listener.dnd_finished = [](void *data, wl_data_source *) {
            static_cast<DragSource *>(data)->m_ended = true;
            static_cast<DragSource *>(data)->m_finished = true;
        };
        listener.action = [](void *, wl_data_source *, uint32_t) {};
        return listener;
    }();
    m_source = wl_data_device_manager_create_data_source(m_manager);
    wl_data_source_add_listener(m_source, &sourceListener, this);
    wl_data_source_offer(m_source, "text/plain;charset=utf-8");
    if (wl_data_source_get_version(m_source) >= WL_DATA_SOURCE_SET_ACTIONS_SINCE_VERSION)
        wl_data_source_set_actions(m_source, WL_DATA_DEVICE_MANAGER_DND_ACTION_COPY);
    wl_data_device_start_drag(m_passage->device(), m_source, m_surface, nullptr, serial);
    m_connection->flush();
}

void DragSource::send(int fd) const
{
    for (qsizetype written = 0; written < m_text.size();) {
        const ssize_t now = ::write(fd, m_text.constData() + written, static_cast<size_t>(m_text.size() - written));
        if (now <= 0)
            break;
        written += now;
    }
    ::close(fd);
}
