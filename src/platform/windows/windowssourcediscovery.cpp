#include "common/gbkcodec.h"
#include "platform/backgroundsourcediscovery.h"
#include "platform/windows/browserwindowwalk.h"

namespace {

// The window messages wait for the browser's answer; on the discovery thread a browser that
// hangs holds up only the next look, never the capture window.
class Win32AddressLookup final : public AddressLookup
{
public:
    QString lookUp() override { return Gbk::decode(BrowserWindowWalk::findWebAddress()); }
};

} // namespace

std::unique_ptr<SourceDiscovery> createSourceDiscovery(const SourceDiscoveryOptions &)
{
    return std::make_unique<BackgroundSourceDiscovery>([] { return std::make_unique<Win32AddressLookup>(); });
}
