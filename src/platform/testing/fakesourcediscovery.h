#pragma once

#include "platform/sourcediscovery.h"

// Answers with the address a test sets, and counts the looks asked for.
class FakeSourceDiscovery final : public SourceDiscovery
{
public:
    void refresh() override { ++refreshes; }
    QString latestAddress() const override { return address; }
    QString discoverNow() override
    {
        ++immediateLooks;
        return address;
    }

    QString address;
    int refreshes = 0;
    int immediateLooks = 0;
};
