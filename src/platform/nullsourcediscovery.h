#pragma once

#include "platform/sourcediscovery.h"

// Where no browser window can be read, discovery finds nothing and the program runs on.
class NullSourceDiscovery final : public SourceDiscovery
{
public:
    void refresh() override {}
    QString latestAddress() const override { return {}; }
    QString discoverNow() override { return {}; }
};
