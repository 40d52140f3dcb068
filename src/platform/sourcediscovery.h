#pragma once

#include <QString>
#include <memory>

// Finds the address shown by the topmost web browser window, for the capture's source.
// Looking can be slow (tens of milliseconds), so the web-mode tick asks for a refresh and
// reads the latest answer; nothing here blocks the GUI thread for long.
class SourceDiscovery
{
public:
    virtual ~SourceDiscovery() = default;

    // Starts a fresh look unless one is under way. Returns at once.
    virtual void refresh() = 0;
    // The address from the last completed look; empty when no browser window was found.
    virtual QString latestAddress() const = 0;
    // Looks now and returns the answer (used at a drop), waiting at most a short while.
    virtual QString discoverNow() = 0;
};

std::unique_ptr<SourceDiscovery> createSourceDiscovery();
