#pragma once

#include <QString>
#include <memory>

// The shell's "open" verb: a file opens in the program associated with it, an address
// in the web browser. Failures are the shell's to report; callers ignore the result.
class ShellOpener
{
public:
    virtual ~ShellOpener() = default;
    virtual bool open(const QString &pathOrAddress) = 0;
};

std::unique_ptr<ShellOpener> createShellOpener();
