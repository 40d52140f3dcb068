#pragma once

#include <QObject>
#include <QRect>

#include <memory>

class QMimeData;

// A thin strip along the screen's top edge that tells when the pointer, or a drag, touches it:
// web mode's trigger to drop the capture bar, without looking at the pointer on a timer.
class TopEdgeTrigger : public QObject
{
    Q_OBJECT
public:
    // Height of the strip in pixels, and the width left free at the top-left corner for the
    // desktop's hot corner.
    static constexpr int kHeight = 2;
    static constexpr int kHotCornerWidth = 48;

    using QObject::QObject;

    // Shows (armed) or removes the strip. An armed strip lies above the top edge of every
    // window, the capture bar's too, so disarm it while the bar is shown.
    virtual void setArmed(bool armed) = 0;
    virtual bool isArmed() const = 0;

    // The capture bar is about to show at `area` (screen coordinates) for a drag that touched
    // the strip. A strip that can take that drag's drop over the bar itself does so, and stays
    // until the drag ends, disarmed or not: true then, and `dropped` or `dropLeft` follows.
    // (wlroots compositors hand no drop from a Wayland program to an Xwayland window.)
    virtual bool holdDropsOver(const QRect &area)
    {
        Q_UNUSED(area)
        return false;
    }

Q_SIGNALS:
    // The pointer entered the strip, or a drag entered it.
    void touched();
    // A drop taken over the bar: the text and page-address carriers it brought.
    void dropped(const QMimeData &data);
    // The drag held over the bar ended without a drop there.
    void dropLeft();
};

// The strip as a layer-shell surface (zwlr_layer_shell_v1) on a Wayland connection of its own.
// Null where the compositor offers no layer shell or the program was built without Wayland.
std::unique_ptr<TopEdgeTrigger> createLayerShellTopEdgeStrip();
