#pragma once

#include "platform/backgroundsourcediscovery.h"
#include "platform/accessibilityswitch.h"
#include "platform/linux/atspiaddressreader.h"
#include "platform/linux/x11windowlist.h"

// One look on an X11 desktop: the topmost window whose title marks a browser, and the text of
// its address field read through the accessibility bus. The first look switches the desktop's
// accessibility on when the options allow it; the lookup's end switches it back, and so does
// the user's opting out while the program runs.
class X11AddressLookup final : public AddressLookup
{
public:
    explicit X11AddressLookup(const QByteArray &display = {}, const SourceDiscoveryOptions &options = {});
    ~X11AddressLookup() override;
    Q_DISABLE_COPY_MOVE(X11AddressLookup)

    QString lookUp() override;
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
