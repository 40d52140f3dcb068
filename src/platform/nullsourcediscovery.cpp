#include "platform/nullsourcediscovery.h"

std::unique_ptr<SourceDiscovery> createSourceDiscovery(const SourceDiscoveryOptions &)
{
    return std::make_unique<NullSourceDiscovery>();
}
