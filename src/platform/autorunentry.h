#pragma once

#include <QString>
#include <memory>

// The "start with the system" entry named "Notavo". An empty command switches it off;
// the entry itself is never deleted (on Windows the Run value keeps empty data).
class AutoRunEntry
{
public:
    virtual ~AutoRunEntry() = default;
    virtual void setCommand(const QString &command) = 0;
    // At start-up: an entry that is switched on but runs another program (a moved or newly
    // installed copy) is pointed at `command`, the program now running. Others stay as they are.
    virtual void followProgram(const QString &command) { Q_UNUSED(command); }
};

std::unique_ptr<AutoRunEntry> createAutoRunEntry();
