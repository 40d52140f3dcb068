#include "platform/wayland/layershelltopedgestrip.h"

#include "platform/clipboardsnapshot.h"
#include "platform/wayland/clearbuffer.h"
#include "platform/wayland/offerreading.h"
#include "platform/wayland/waylandconnection.h"

#include <QMimeData>

#include <wayland-client.h>
#include <wlr-layer-shell-unstable-v1-client.h>

#include <algorithm>
#include <utility>

namespace {

// Wider than any output: the strip's part of the input region spans the surface.
constexpr std::int32_t kRegionWidth = 32767;

template <typename Listener>
Listener emptyListener()
{
    return Listener{};
}

} // namespace

std::unique_ptr<LayerShellTopEdgeStrip> LayerShellTopEdgeStrip::open()
{
    std::unique_ptr<WaylandConnection> connection = WaylandConnection::open();
    if (!connection || !connection->offers(zwlr_layer_shell_v1_interface.name))
        return nullptr;
    std::unique_ptr<LayerShellTopEdgeStrip> strip(new LayerShellTopEdgeStrip(std::move(connection)));
    if (!strip->start())
        return nullptr;
    return strip;
}

LayerShellTopEdgeStrip::LayerShellTopEdgeStrip(std::unique_ptr<WaylandConnection> connection)
    : m_connection(std::move(connection))
{
}

LayerShellTopEdgeStrip::~LayerShellTopEdgeStrip()
{
    m_dropReading.reset();
    destroySurface();
    m_dragPassage.reset();
    if (m_dataDeviceManager)
        wl_data_device_manager_destroy(m_dataDeviceManager);
    if (m_pointer)
        wl_pointer_destroy(m_pointer);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_layerShell)
        zwlr_layer_shell_v1_destroy(m_layerShell);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_compositor)
        wl_compositor_destroy(m_compositor);
    m_connection->flush();
}

bool LayerShellTopEdgeStrip::start()
{
    static const wl_seat_listener seatListener = [] {
        auto listener = emptyListener<wl_seat_listener>();
        listener.capabilities = [](void *data, wl_seat *, std::uint32_t capabilities) {
            static_cast<LayerShellTopEdgeStrip *>(data)->onSeatCapabilities(capabilities);
        };
        return listener;
    }();
    m_compositor = static_cast<wl_compositor *>(m_connection->bind(&wl_compositor_interface, 4));
    m_shm = static_cast<wl_shm *>(m_connection->bind(&wl_shm_interface, 1));
    m_layerShell = static_cast<zwlr_layer_shell_v1 *>(m_connection->bind(&zwlr_layer_shell_v1_interface, 3));
    m_seat = static_cast<wl_seat *>(m_connection->bind(&wl_seat_interface, 1));
    m_dataDeviceManager
        = static_cast<wl_data_device_manager *>(m_connection->bind(&wl_data_device_manager_interface, 3));
    if (!m_compositor || !m_shm || !m_layerShell || !m_seat)
        return false;
    wl_seat_add_listener(m_seat, &seatListener, this);
    // Drags pass over the strip on to the capture bar that drops down below.
    if (m_dataDeviceManager)
        m_dragPassage = std::make_unique<DragPassage>(m_dataDeviceManager, m_seat,
                                                      [this](wl_surface *surface) { onEnter(surface); });
    if (!m_connection->roundtrip())
        return false;
    m_connection->startDispatching();
    return true;
}

void LayerShellTopEdgeStrip::onSeatCapabilities(std::uint32_t capabilities)
{
    static const wl_pointer_listener pointerListener = [] {
        auto listener = emptyListener<wl_pointer_listener>();
        listener.enter = [](void *data, wl_pointer *, std::uint32_t, wl_surface *surface, wl_fixed_t, wl_fixed_t) {
            static_cast<LayerShellTopEdgeStrip *>(data)->onEnter(surface);
        };
        listener.leave = [](void *, wl_pointer *, std::uint32_t, wl_surface *) {};
        listener.motion = [](void *, wl_pointer *, std::uint32_t, wl_fixed_t, wl_fixed_t) {};
        listener.button = [](void *, wl_pointer *, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {};
        listener.axis = [](void *, wl_pointer *, std::uint32_t, std::uint32_t, wl_fixed_t) {};
        return listener;
    }();
    const bool hasPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (hasPointer && !m_pointer) {
        m_pointer = wl_seat_get_pointer(m_seat);
        wl_pointer_add_listener(m_pointer, &pointerListener, this);
    } else if (!hasPointer && m_pointer) {
        wl_pointer_destroy(m_pointer);
        m_pointer = nullptr;
    }
}

void LayerShellTopEdgeStrip::onEnter(wl_surface *surface)
{
    if (surface && surface == m_surface)
        Q_EMIT touched();
}

void LayerShellTopEdgeStrip::setArmed(bool armed)
{
    if (armed == isArmed() || m_connection->isBroken())
        return;
    // The drag over the bar goes on: the strip goes when it ends.
    if (m_holdingDrops) {
        m_disarmAfterDrag = !armed;
        return;
    }
    if (armed)
        createSurface();
    else
        destroySurface();
    m_connection->flush();
}

bool LayerShellTopEdgeStrip::holdDropsOver(const QRect &area)
{
    if (!m_surface || !m_dragPassage || !m_dragPassage->holdsDrag() || m_connection->isBroken())
        return false;
    // The strip begins where the hot corner ends.
    const QRect dropArea = area.translated(-kHotCornerWidth, 0);
    shape(std::max(kHeight, area.bottom() + 1), dropArea);
    m_dragPassage->acceptDropsIn(
        m_surface, dropArea, [this](const DragPassage::Drop &drop) { readDrop(drop); },
        [this] { onDragEnded(); });
    m_holdingDrops = true;
    m_connection->flush();
    return true;
}

void LayerShellTopEdgeStrip::shape(int height, const QRect &dropArea)
{
    zwlr_layer_surface_v1_set_size(m_layerSurface, 0, static_cast<std::uint32_t>(height));
    // Only the strip and the drop area take input: the rest of the band lets the pointer through.
    wl_region *input = nullptr;
    if (!dropArea.isEmpty()) {
        input = wl_compositor_create_region(m_compositor);
        wl_region_add(input, 0, 0, kRegionWidth, kHeight);
        wl_region_add(input, dropArea.x(), dropArea.y(), dropArea.width(), dropArea.height());
    }
    wl_surface_set_input_region(m_surface, input);
    if (input)
        wl_region_destroy(input);
    wl_surface_commit(m_surface);
}

void LayerShellTopEdgeStrip::readDrop(const DragPassage::Drop &drop)
{
    m_dropTaken = true;
    m_dropReading = std::make_unique<OfferReading>();
    wl_data_offer *offer = drop.offer;
    const bool finish = drop.actionAgreed && wl_data_offer_get_version(offer) >= WL_DATA_OFFER_FINISH_SINCE_VERSION;
    const QStringList types = drop.types;
    const auto done = [this, offer, finish, types] {
        ClipboardSnapshot snapshot;
        snapshot.offeredTypes = types;
        m_dropReading->takeInto(snapshot);
        m_dropReading->clear();
        if (finish)
            wl_data_offer_finish(offer);
        wl_data_offer_destroy(offer);
        m_connection->flush();
        const std::unique_ptr<QMimeData> data = snapshot.toMimeData();
        Q_EMIT dropped(*data);
    };
    connect(m_dropReading.get(), &OfferReading::finished, this, done);
    const bool reading = m_dropReading->readTextAndCarriers(
        [offer](const QByteArray &type, int fd) { wl_data_offer_receive(offer, type.constData(), fd); }, types);
    m_connection->flush();
    if (!reading)
        done();
}

void LayerShellTopEdgeStrip::onDragEnded()
{
    const bool dropped = std::exchange(m_dropTaken, false);
    m_holdingDrops = false;
    if (m_disarmAfterDrag) {
        m_disarmAfterDrag = false;
        destroySurface();
    } else if (m_surface) {
        shape(kHeight, {});
    }
    m_connection->flush();
    if (!dropped)
        Q_EMIT dropLeft();
}

void LayerShellTopEdgeStrip::createSurface()
{
    static const zwlr_layer_surface_v1_listener layerSurfaceListener = [] {
        auto listener = emptyListener<zwlr_layer_surface_v1_listener>();
        listener.configure = [](void *data, zwlr_layer_surface_v1 *, std::uint32_t serial, std::uint32_t width,
                                std::uint32_t height) {
            static_cast<LayerShellTopEdgeStrip *>(data)->onConfigure(serial, width, height);
        };
        // The compositor took the strip away (its output went): it can be armed again later.
        listener.closed = [](void *data, zwlr_layer_surface_v1 *) {
            static_cast<LayerShellTopEdgeStrip *>(data)->destroySurface();
        };
        return listener;
    }();
    m_surface = wl_compositor_create_surface(m_compositor);
    m_layerSurface = zwlr_layer_shell_v1_get_layer_surface(m_layerShell, m_surface, nullptr,
                                                           ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "notavo-top-edge");
    zwlr_layer_surface_v1_add_listener(m_layerSurface, &layerSurfaceListener, this);
    zwlr_layer_surface_v1_set_anchor(m_layerSurface, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP
                                                         | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT
                                                         | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    // Width 0: as wide as the output allows between the margins.
    zwlr_layer_surface_v1_set_size(m_layerSurface, 0, kHeight);
    zwlr_layer_surface_v1_set_margin(m_layerSurface, 0, 0, 0, kHotCornerWidth);
    // Stays at the very top even above a panel that reserves space there.
    zwlr_layer_surface_v1_set_exclusive_zone(m_layerSurface, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(m_layerSurface,
                                                     ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    // The first commit carries no buffer; the compositor answers with the size.
    wl_surface_commit(m_surface);
}

void LayerShellTopEdgeStrip::destroySurface()
{
    if (m_layerSurface)
        zwlr_layer_surface_v1_destroy(m_layerSurface);
    if (m_surface)
        wl_surface_destroy(m_surface);
    if (m_buffer)
        wl_buffer_destroy(m_buffer);
    m_layerSurface = nullptr;
    m_surface = nullptr;
    m_buffer = nullptr;
    m_width = 0;
    m_height = 0;
}

void LayerShellTopEdgeStrip::onConfigure(std::uint32_t serial, std::uint32_t width, std::uint32_t height)
{
    zwlr_layer_surface_v1_ack_configure(m_layerSurface, serial);
    const int newWidth = width > 0 ? static_cast<int>(width) : 1;
    const int newHeight = height > 0 ? static_cast<int>(height) : kHeight;
    if (!m_buffer || newWidth != m_width || newHeight != m_height) {
        if (m_buffer)
            wl_buffer_destroy(m_buffer);
        m_buffer = createClearBuffer(m_shm, newWidth, newHeight);
        m_width = newWidth;
        m_height = newHeight;
    }
    if (m_buffer) {
        wl_surface_attach(m_surface, m_buffer, 0, 0);
        wl_surface_damage(m_surface, 0, 0, m_width, m_height);
    }
    wl_surface_commit(m_surface);
}

std::unique_ptr<TopEdgeTrigger> createLayerShellTopEdgeStrip()
{
    return LayerShellTopEdgeStrip::open();
}
