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
};

std::unique_ptr<AutoRunEntry> createAutoRunEntry();
