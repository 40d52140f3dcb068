#pragma once

#include "platform/shellopener.h"

#include <QStringList>

// Remembers what would have been opened instead of opening it.
class RecordingShellOpener final : public ShellOpener
{
public:
    bool open(const QString &pathOrAddress) override
    {
        opened.append(pathOrAddress);
        return true;
    }
    QStringList opened;
};
