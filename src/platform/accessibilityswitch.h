#pragma once

#include <QString>

#include <optional>

// The desktop-wide accessibility switch that screen readers and the desktop's settings use.
class AccessibilitySwitch
{
public:
    virtual ~AccessibilitySwitch() = default;

    // The switch's state; nothing when it cannot be reached (no session or accessibility bus).
    virtual std::optional<bool> isEnabled() = 0;
    // Sets the switch; false when that failed.
    virtual bool setEnabled(bool enabled) = 0;
};

// Switches the desktop's accessibility on for the program and back off at its end, politely:
// only when it was off, and off again only when this program switched it on and it is still on.
// While it is on because of the program, a note file says so; a start that finds the note and
// the switch on after a crash takes the switch as its own, so that its end switches it off again.
// A note found with the switch off is stale (the switch was handed back by someone else).
class AccessibilityKeeper final
{
public:
    AccessibilityKeeper(AccessibilitySwitch &desktopSwitch, QString notePath);
    ~AccessibilityKeeper();
    AccessibilityKeeper(const AccessibilityKeeper &) = delete;
    AccessibilityKeeper &operator=(const AccessibilityKeeper &) = delete;

    // Switches accessibility on unless it is on already; asks the desktop only the first time.
    void turnOn();
    // Switches it off again if this keeper switched it on; the destructor does the same.
    // The next turnOn asks the desktop again.
    void restore();

    bool ownsSwitch() const { return m_owned; }

    // For a program that must leave the switch alone (the user's opt-out): a note left by an
    // earlier run that was killed is cleaned up, and the switch that run left on is switched
    // off. Where the switch cannot be reached, the note stays for the next start.
    static void handBackLeftover(AccessibilitySwitch &desktopSwitch, const QString &notePath);

private:
    bool writeNote() const;
    void removeNote() const;
    // Switches off a switch that is on; the note goes once the switch is off.
    static void handBack(AccessibilitySwitch &desktopSwitch, const QString &notePath);

    AccessibilitySwitch &m_switch;
    const QString m_notePath;
    bool m_asked = false;
    bool m_owned = false;
};
