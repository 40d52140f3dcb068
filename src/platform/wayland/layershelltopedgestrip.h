#pragma once

#include "platform/topedgetrigger.h"
#include "platform/wayland/dragpassage.h"

#include <cstdint>
#include <memory>

class OfferReading;
class WaylandConnection;
struct wl_buffer;
struct wl_compositor;
struct wl_data_device_manager;
struct wl_pointer;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;

// The top-edge strip as a layer-shell surface in the overlay layer, on a Wayland connection of
// its own: anchored to the top edge from the hot corner's end to the right edge, transparent,
// never taking the keyboard and never pushing other surfaces aside. A pointer enter or a drag
// enter on it is reported. Drags pass over it, except that one held for the dropped bar
// (holdDropsOver) is taken there: the strip grows over the bar until that drag ends.
class LayerShellTopEdgeStrip final : public TopEdgeTrigger
{
    Q_OBJECT
public:
    // Null where the compositor offers no layer shell.
    static std::unique_ptr<LayerShellTopEdgeStrip> open();
    ~LayerShellTopEdgeStrip() override;
    LayerShellTopEdgeStrip(const LayerShellTopEdgeStrip &) = delete;
    LayerShellTopEdgeStrip &operator=(const LayerShellTopEdgeStrip &) = delete;

    void setArmed(bool armed) override;
    bool isArmed() const override { return m_surface != nullptr && !m_disarmAfterDrag; }
    bool holdDropsOver(const QRect &area) override;

    // The strip's size as the compositor configured it (zero until then).
    int width() const { return m_width; }

private:
    explicit LayerShellTopEdgeStrip(std::unique_ptr<WaylandConnection> connection);
    bool start();
    void createSurface();
    void destroySurface();
    void onConfigure(std::uint32_t serial, std::uint32_t width, std::uint32_t height);
    void onSeatCapabilities(std::uint32_t capabilities);
    void onEnter(wl_surface *surface);
    // The strip, or the strip and the drop area below it, as the surface's size and input region.
    void shape(int height, const QRect &dropArea);
    void readDrop(const DragPassage::Drop &drop);
    void onDragEnded();

    std::unique_ptr<WaylandConnection> m_connection;
    wl_compositor *m_compositor = nullptr;
    wl_shm *m_shm = nullptr;
    zwlr_layer_shell_v1 *m_layerShell = nullptr;
    wl_seat *m_seat = nullptr;
    wl_pointer *m_pointer = nullptr;
    wl_data_device_manager *m_dataDeviceManager = nullptr;
    std::unique_ptr<DragPassage> m_dragPassage;

    wl_surface *m_surface = nullptr;
    zwlr_layer_surface_v1 *m_layerSurface = nullptr;
    wl_buffer *m_buffer = nullptr;
    int m_width = 0;
    int m_height = 0;
    // Over the bar for a drag: the strip is taken away only once the drag ended.
    bool m_holdingDrops = false;
    bool m_disarmAfterDrag = false;
    bool m_dropTaken = false;
    std::unique_ptr<OfferReading> m_dropReading;
};
