#pragma once

#include "platform/autorunentry.h"

// Start with the desktop session through an XDG autostart entry. Switching off keeps the
// file and marks it hidden, the way desktops themselves disable an autostart entry.
class XdgAutoRunEntry final : public AutoRunEntry
{
public:
    // autostartFolder: usually $XDG_CONFIG_HOME/autostart.
    explicit XdgAutoRunEntry(QString autostartFolder);

    void setCommand(const QString &command) override;
    void followProgram(const QString &command) override;

    QString entryPath() const;

private:
    QString m_folder;
};
