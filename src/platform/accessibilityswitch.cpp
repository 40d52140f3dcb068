#include "platform/accessibilityswitch.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QDir>

AccessibilityKeeper::AccessibilityKeeper(AccessibilitySwitch &desktopSwitch, QString notePath)
    : m_switch(desktopSwitch)
    , m_notePath(std::move(notePath))
{
}

AccessibilityKeeper::~AccessibilityKeeper()
{
    restore();
}

void AccessibilityKeeper::turnOn()
{
    if (m_asked)
        return;
    m_asked = true;
    const std::optional<bool> enabled = m_switch.isEnabled();
    if (!enabled)
        return;
    const bool leftByEarlierRun = !m_notePath.isEmpty() && QFileInfo::exists(m_notePath);
    if (*enabled) {
        // On already: by the user or a screen reader, unless an earlier run of the program
        // switched it on and ended without switching it off.
        m_owned = leftByEarlierRun;
        return;
    }
    // The note goes first, so that a crash right after the switch still leaves it behind.
    // Without it the switch is still worth having; only a crash would then leave it on.
    writeNote();
    m_owned = m_switch.setEnabled(true);
    if (!m_owned)
        removeNote();
}

void AccessibilityKeeper::restore()
{
    m_asked = false;
    if (!m_owned)
        return;
    m_owned = false;
    handBack(m_switch, m_notePath);
}

void AccessibilityKeeper::handBackLeftover(AccessibilitySwitch &desktopSwitch, const QString &notePath)
{
    if (!notePath.isEmpty() && QFileInfo::exists(notePath))
        handBack(desktopSwitch, notePath);
}

void AccessibilityKeeper::handBack(AccessibilitySwitch &desktopSwitch, const QString &notePath)
{
    // When the switch cannot be reached (the session ends) the note stays, so that the next
    // start still knows the switch as the program's.
    const std::optional<bool> enabled = desktopSwitch.isEnabled();
    if (!enabled)
        return;
    // Switched off meanwhile by the user: nothing to hand back.
    if (*enabled && !desktopSwitch.setEnabled(false))
        return;
    if (!notePath.isEmpty())
        QFile::remove(notePath);
}

bool AccessibilityKeeper::writeNote() const
{
    if (m_notePath.isEmpty())
        return true;
    QDir().mkpath(QFileInfo(m_notePath).absolutePath());
    QSaveFile note(m_notePath);
    return note.open(QIODevice::WriteOnly)
        && note.write("Notavo switched the desktop's accessibility on.\n") > 0 && note.commit();
}

void AccessibilityKeeper::removeNote() const
{
    if (!m_notePath.isEmpty())
        QFile::remove(m_notePath);
}
