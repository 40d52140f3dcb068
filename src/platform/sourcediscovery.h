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

// How the discovery may treat the desktop.
struct SourceDiscoveryOptions
{
    // On Linux, browsers show their address bar to the accessibility bus only while the
    // desktop's accessibility switch is on: the discovery may switch it on at its first look
    // and switches it off again at its end, but only when it was the one to switch it on.
    bool mayTurnOnAccessibility = true;
    // A file that exists while the switch is on because of the program, so that a start after
    // a crash knows the switch as its own; empty for none.
    QString accessibilityNotePath;
};

std::unique_ptr<SourceDiscovery> createSourceDiscovery(const SourceDiscoveryOptions &options = {});
