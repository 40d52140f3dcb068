#pragma once

#include "platform/backgroundsourcediscovery.h"
#include "platform/linux/atspiaddressreader.h"
#include "platform/linux/x11windowlist.h"

// One look on an X11 desktop: the topmost window whose title marks a browser, and the text of
// its address field read through the accessibility bus.
class X11AddressLookup final : public AddressLookup
{
public:
    explicit X11AddressLookup(const QByteArray &display = {});
    Q_DISABLE_COPY_MOVE(X11AddressLookup)

    QString lookUp() override;

    const AtspiAddressReader &reader() const { return m_reader; }

private:
    X11WindowList m_windows;
    AtspiAddressReader m_reader;
};
