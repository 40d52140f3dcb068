#include "platform/nullsourcediscovery.h"

std::unique_ptr<SourceDiscovery> createSourceDiscovery()
{
    return std::make_unique<NullSourceDiscovery>();
}
