#pragma once

#include "platform/accessibilityswitch.h"

// A desktop switch that a test sets, reaches or not, and whose changes it counts.
class FakeAccessibilitySwitch final : public AccessibilitySwitch
{
public:
    std::optional<bool> isEnabled() override
    {
        if (!reachable)
            return std::nullopt;
        return enabled;
    }
    bool setEnabled(bool on) override
    {
        if (!reachable)
            return false;
        enabled = on;
        ++changes;
        return true;
    }

    bool reachable = true;
    bool enabled = false;
    int changes = 0;
};
