#pragma once

#include "platform/autorunentry.h"

#include <QStringList>

// Remembers every command set, in order.
class FakeAutoRunEntry final : public AutoRunEntry
{
public:
    void setCommand(const QString &command) override { commands.append(command); }
    QStringList commands;
};
