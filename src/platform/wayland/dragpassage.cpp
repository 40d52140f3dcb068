#include "platform/wayland/dragpassage.h"

#include <wayland-client.h>

#include <cstdint>

DragPassage::DragPassage(wl_data_device_manager *manager, wl_seat *seat, std::function<void(wl_surface *)> onEnter)
    : m_device(wl_data_device_manager_get_data_device(manager, seat))
    , m_onEnter(std::move(onEnter))
{
    static const wl_data_device_listener listener = [] {
        wl_data_device_listener passage{};
        passage.data_offer = [](void *, wl_data_device *, wl_data_offer *) {};
        passage.enter = [](void *data, wl_data_device *, std::uint32_t, wl_surface *surface, wl_fixed_t, wl_fixed_t,
                           wl_data_offer *offer) { static_cast<DragPassage *>(data)->onDragEnter(surface, offer); };
        passage.leave = [](void *data, wl_data_device *) { static_cast<DragPassage *>(data)->letDragGo(); };
        passage.motion = [](void *, wl_data_device *, std::uint32_t, wl_fixed_t, wl_fixed_t) {};
        // Never accepted, so a drop does not come; should one come, the drag is over.
        passage.drop = [](void *data, wl_data_device *) { static_cast<DragPassage *>(data)->letDragGo(); };
        // The focused window's clipboard: not this client's business.
        passage.selection = [](void *, wl_data_device *, wl_data_offer *offer) {
            if (offer)
                wl_data_offer_destroy(offer);
        };
        return passage;
    }();
    wl_data_device_add_listener(m_device, &listener, this);
}

DragPassage::~DragPassage()
{
    letDragGo();
    wl_data_device_destroy(m_device);
}

void DragPassage::onDragEnter(wl_surface *surface, wl_data_offer *offer)
{
    letDragGo();
    m_dragOffer = offer;
    if (m_onEnter)
        m_onEnter(surface);
}

void DragPassage::letDragGo()
{
    if (m_dragOffer)
        wl_data_offer_destroy(m_dragOffer);
    m_dragOffer = nullptr;
}
