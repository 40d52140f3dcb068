#pragma once

#include <functional>

struct wl_data_device;
struct wl_data_device_manager;
struct wl_data_offer;
struct wl_seat;
struct wl_surface;

// The data device of a client that lets drags pass over its surfaces: it accepts no drop, tells
// of each drag that enters, and holds the drag's offer until the drag leaves. Letting the offer go
// while the drag is still over the surface ends the whole drag on wlroots compositors (sway): the
// source is told it was finished or cancelled. Clipboard offers are let go at once.
class DragPassage final
{
public:
    // onEnter gets the surface the drag entered.
    DragPassage(wl_data_device_manager *manager, wl_seat *seat, std::function<void(wl_surface *)> onEnter);
    ~DragPassage();
    DragPassage(const DragPassage &) = delete;
    DragPassage &operator=(const DragPassage &) = delete;

    wl_data_device *device() const { return m_device; }
    // Whether a drag is over one of the surfaces now.
    bool holdsDrag() const { return m_dragOffer != nullptr; }

private:
    void onDragEnter(wl_surface *surface, wl_data_offer *offer);
    void letDragGo();

    wl_data_device *m_device = nullptr;
    wl_data_offer *m_dragOffer = nullptr;
    std::function<void(wl_surface *)> m_onEnter;
};
