#pragma once

#include <QByteArray>
#include <QHash>
#include <QRect>
#include <QStringList>

#include <cstdint>
#include <functional>

struct wl_data_device;
struct wl_data_device_manager;
struct wl_data_offer;
struct wl_seat;
struct wl_surface;

// The data device of a client whose surfaces drags pass over: it tells of each drag that enters,
// and holds the drag's offer until the drag leaves. Letting the offer go while the drag is still
// over the surface ends the whole drag on wlroots compositors (sway): the source is told it was
// finished or cancelled. Clipboard offers are let go at once.
// No drop is accepted, except inside an area asked for (acceptDropsIn) until the drag ends.
class DragPassage final
{
public:
    // The offer of a drop taken, with the types it lists and whether an action was agreed (a
    // version 3 offer is then finished once read). The taker reads it and destroys it.
    struct Drop
    {
        wl_data_offer *offer = nullptr;
        QStringList types;
        bool actionAgreed = false;
    };

    // onEnter gets the surface the drag entered.
    DragPassage(wl_data_device_manager *manager, wl_seat *seat, std::function<void(wl_surface *)> onEnter);
    ~DragPassage();
    DragPassage(const DragPassage &) = delete;
    DragPassage &operator=(const DragPassage &) = delete;

    wl_data_device *device() const { return m_device; }
    // Whether a drag is over one of the surfaces now.
    bool holdsDrag() const { return m_dragOffer != nullptr; }

    // Until the drag held now ends, a text dropped inside `area` of `surface` (surface
    // coordinates) is accepted and handed to `onDrop`; `onEnded` follows the drag's end either
    // way (left, cancelled or dropped), after `onDrop`.
    void acceptDropsIn(wl_surface *surface, const QRect &area, std::function<void(const Drop &)> onDrop,
                       std::function<void()> onEnded);

private:
    void onOffer(wl_data_offer *offer);
    void onDragEnter(std::uint32_t serial, wl_surface *surface, double x, double y, wl_data_offer *offer);
    void onMotion(double x, double y);
    void onDrop();
    void letDragGo();
    void destroyOffer(wl_data_offer *offer);
    void endDrag();
    // The text type to accept at (x, y); empty for none.
    QByteArray acceptedType(double x, double y) const;

    wl_data_device *m_device = nullptr;
    std::function<void(wl_surface *)> m_onEnter;
    // Offers the compositor introduced, with the types each one listed so far, and the action
    // agreed for each.
    QHash<wl_data_offer *, QStringList> m_types;
    QHash<wl_data_offer *, std::uint32_t> m_actions;

    wl_data_offer *m_dragOffer = nullptr;
    wl_surface *m_dragSurface = nullptr;
    std::uint32_t m_enterSerial = 0;
    QByteArray m_accepted; // the type last accepted, empty for none

    wl_surface *m_dropSurface = nullptr;
    QRect m_dropArea;
    std::function<void(const Drop &)> m_onDrop;
    std::function<void()> m_onEnded;
};
