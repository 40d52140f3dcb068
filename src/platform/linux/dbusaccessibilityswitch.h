#pragma once

#include "platform/accessibilityswitch.h"

struct DBusConnection;

// The switch as the accessibility bus launcher offers it on the session bus: the property
// IsEnabled of org.a11y.Status on /org/a11y/bus of org.a11y.Bus. Reached through libdbus, which
// the accessibility library already brings. Without a session bus nothing is started and
// every call answers "cannot be reached". Calls must come from one thread.
class DBusAccessibilitySwitch final : public AccessibilitySwitch
{
public:
    DBusAccessibilitySwitch() = default;
    ~DBusAccessibilitySwitch() override;
    DBusAccessibilitySwitch(const DBusAccessibilitySwitch &) = delete;
    DBusAccessibilitySwitch &operator=(const DBusAccessibilitySwitch &) = delete;

    std::optional<bool> isEnabled() override;
    bool setEnabled(bool enabled) override;

private:
    bool connect();

    DBusConnection *m_connection = nullptr;
};
