#include "platform/wayland/dragpassage.h"

#include "platform/wayland/offerreading.h"

#include <wayland-client.h>

DragPassage::DragPassage(wl_data_device_manager *manager, wl_seat *seat, std::function<void(wl_surface *)> onEnter)
    : m_device(wl_data_device_manager_get_data_device(manager, seat))
    , m_onEnter(std::move(onEnter))
{
    static const wl_data_device_listener listener = [] {
        wl_data_device_listener passage{};
        passage.data_offer = [](void *data, wl_data_device *, wl_data_offer *offer) {
            static_cast<DragPassage *>(data)->onOffer(offer);
        };
        passage.enter = [](void *data, wl_data_device *, std::uint32_t serial, wl_surface *surface, wl_fixed_t x,
                           wl_fixed_t y, wl_data_offer *offer) {
            static_cast<DragPassage *>(data)->onDragEnter(serial, surface, wl_fixed_to_double(x),
                                                          wl_fixed_to_double(y), offer);
        };
        passage.leave = [](void *data, wl_data_device *) {
            auto *self = static_cast<DragPassage *>(data);
            self->letDragGo();
            self->endDrag();
        };
        passage.motion = [](void *data, wl_data_device *, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
            static_cast<DragPassage *>(data)->onMotion(wl_fixed_to_double(x), wl_fixed_to_double(y));
        };
        passage.drop = [](void *data, wl_data_device *) { static_cast<DragPassage *>(data)->onDrop(); };
        // The focused window's clipboard: not this client's business.
        passage.selection = [](void *data, wl_data_device *, wl_data_offer *offer) {
            if (offer)
                static_cast<DragPassage *>(data)->destroyOffer(offer);
        };
        return passage;
    }();
    wl_data_device_add_listener(m_device, &listener, this);
}

DragPassage::~DragPassage()
{
    letDragGo();
    const QList<wl_data_offer *> offers = m_types.keys();
    for (wl_data_offer *offer : offers)
        destroyOffer(offer);
    wl_data_device_destroy(m_device);
}

void DragPassage::acceptDropsIn(wl_surface *surface, const QRect &area, std::function<void(const Drop &)> onDrop,
                                std::function<void()> onEnded)
{
    m_dropSurface = surface;
    m_dropArea = area;
    m_onDrop = std::move(onDrop);
    m_onEnded = std::move(onEnded);
}

void DragPassage::onOffer(wl_data_offer *offer)
{
    static const wl_data_offer_listener listener = [] {
        wl_data_offer_listener types{};
        types.offer = [](void *data, wl_data_offer *typed, const char *type) {
            static_cast<DragPassage *>(data)->m_types[typed].append(QString::fromUtf8(type));
        };
        types.source_actions = [](void *, wl_data_offer *, std::uint32_t) {};
        types.action = [](void *data, wl_data_offer *typed, std::uint32_t action) {
            static_cast<DragPassage *>(data)->m_actions[typed] = action;
        };
        return types;
    }();
    m_types.insert(offer, {});
    wl_data_offer_add_listener(offer, &listener, this);
}

void DragPassage::onDragEnter(std::uint32_t serial, wl_surface *surface, double x, double y, wl_data_offer *offer)
{
    letDragGo();
    m_dragOffer = offer;
    m_dragSurface = surface;
    m_enterSerial = serial;
    m_accepted.clear();
    onMotion(x, y);
    if (m_onEnter)
        m_onEnter(surface);
}

QByteArray DragPassage::acceptedType(double x, double y) const
{
    const QPoint at(static_cast<int>(x), static_cast<int>(y));
    if (!m_dragOffer || !m_dropSurface || m_dragSurface != m_dropSurface || !m_dropArea.contains(at))
        return {};
    const QStringList offered = m_types.value(m_dragOffer);
    for (const QString &type : OfferReading::textTypes()) {
        if (offered.contains(type))
            return type.toUtf8();
    }
    return {};
}

void DragPassage::onMotion(double x, double y)
{
    if (!m_dragOffer)
        return;
    const QByteArray type = acceptedType(x, y);
    if (type == m_accepted)
        return;
    m_accepted = type;
    wl_data_offer_accept(m_dragOffer, m_enterSerial, type.isEmpty() ? nullptr : type.constData());
    if (wl_data_offer_get_version(m_dragOffer) >= WL_DATA_OFFER_SET_ACTIONS_SINCE_VERSION) {
        const std::uint32_t copy = type.isEmpty() ? WL_DATA_DEVICE_MANAGER_DND_ACTION_NONE
                                                  : WL_DATA_DEVICE_MANAGER_DND_ACTION_COPY;
        wl_data_offer_set_actions(m_dragOffer, copy, copy);
    }
}

void DragPassage::onDrop()
{
    if (m_dragOffer && !m_accepted.isEmpty() && m_onDrop) {
        wl_data_offer *offer = std::exchange(m_dragOffer, nullptr);
        const Drop drop{offer, m_types.take(offer), m_actions.take(offer) != 0};
        m_onDrop(drop);
    } else {
        letDragGo();
    }
    endDrag();
}

void DragPassage::letDragGo()
{
    if (m_dragOffer)
        destroyOffer(m_dragOffer);
    m_dragOffer = nullptr;
    m_dragSurface = nullptr;
    m_accepted.clear();
}

void DragPassage::destroyOffer(wl_data_offer *offer)
{
    m_types.remove(offer);
    m_actions.remove(offer);
    if (offer == m_dragOffer)
        m_dragOffer = nullptr;
    wl_data_offer_destroy(offer);
}

void DragPassage::endDrag()
{
    m_dropSurface = nullptr;
    m_dropArea = {};
    m_onDrop = nullptr;
    if (std::function<void()> ended = std::exchange(m_onEnded, nullptr))
        ended();
}
