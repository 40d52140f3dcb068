#pragma once

#include "platform/backgroundsourcediscovery.h"
#include "platform/accessibilityswitch.h"
#include "platform/linux/atspiaddressreader.h"
#include "platform/linux/x11windowlist.h"

class AtspiFrameActivations;

// One look on a Linux desktop, X11 or Wayland: the text of the address field of the browser
// frame the accessibility bus reports focused, read through that bus. Before any browser frame
// has been heard of, or without an accessibility bus, the topmost X11 window whose title marks
// a browser stands in. The first look switches the desktop's accessibility on when the options
// allow it; the lookup's end switches it back, and so does the user's opting out while the
// program runs.
class X11AddressLookup final : public AddressLookup
{
public:
    explicit X11AddressLookup(const QByteArray &display = {}, const SourceDiscoveryOptions &options = {});
    ~X11AddressLookup() override;
    Q_DISABLE_COPY_MOVE(X11AddressLookup)

    QString lookUp(const FocusedFrame &focused) override;
    FocusedFrame frameRead() const override;
    void setMayTurnOnAccessibility(bool may) override;

    const AtspiAddressReader &reader() const { return m_reader; }

    const AccessibilityKeeper *accessibility() const { return m_accessibility.get(); }

private:
    bool m_mayTurnOnAccessibility;
    std::unique_ptr<AccessibilitySwitch> m_switch;
    std::unique_ptr<AccessibilityKeeper> m_accessibility;
    X11WindowList m_windows;
    AtspiAddressReader m_reader;
};

// Hands the browser frame that `activations` report focused to `discovery`'s looks, each time
// it changes; `activations` becomes the discovery's child.
void followFrameActivations(BackgroundSourceDiscovery &discovery, std::unique_ptr<AtspiFrameActivations> activations);
