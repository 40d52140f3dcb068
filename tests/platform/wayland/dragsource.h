#pragma once

#include <QByteArray>

#include <cstdint>
#include <memory>

class DragPassage;
class WaylandConnection;
struct wl_buffer;
struct wl_compositor;
struct wl_data_device_manager;
struct wl_data_source;
struct wl_pointer;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;

// A Wayland program that starts dragging a text as soon as the left button is pressed on it: a
// transparent layer-shell surface that covers the screen below the overlay layer. The text is
// offered as UTF-8 plain text.
class DragSource final
{
public:
    explicit DragSource(QByteArray text = "dragged");
    ~DragSource();
    DragSource(const DragSource &) = delete;
    DragSource &operator=(const DragSource &) = delete;

    bool isValid() const { return m_layerSurface != nullptr; }
    bool isShown() const { return m_buffer != nullptr; }
    bool isDragging() const { return m_source != nullptr; }
    // Whether the compositor ended the drag (cancelled or finished), as it does when a surface
    // the drag passes over lets the drag's offer go.
    bool wasEnded() const { return m_ended; }
    // Whether the drop target finished the drop (dnd_finished), rather than it being cancelled.
    bool wasFinished() const { return m_finished; }

private:
    void onConfigure(std::uint32_t serial, std::uint32_t width, std::uint32_t height);
    void onButton(std::uint32_t serial, std::uint32_t state);
    void send(int fd) const;

    std::unique_ptr<WaylandConnection> m_connection;
    wl_compositor *m_compositor = nullptr;
    wl_shm *m_shm = nullptr;
    zwlr_layer_shell_v1 *m_layerShell = nullptr;
    wl_seat *m_seat = nullptr;
    wl_pointer *m_pointer = nullptr;
    wl_data_device_manager *m_manager = nullptr;
    std::unique_ptr<DragPassage> m_passage;
    wl_surface *m_surface = nullptr;
    zwlr_layer_surface_v1 *m_layerSurface = nullptr;
    wl_buffer *m_buffer = nullptr;
    wl_data_source *m_source = nullptr;
    bool m_ended = false;
    bool m_finished = false;
    QByteArray m_text;
};
