#include "platform/shellopener.h"

#include <windows.h>
#include <shellapi.h>

namespace {

class WindowsShellOpener final : public ShellOpener
{
public:
    bool open(const QString &pathOrAddress) override
    {
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"open", reinterpret_cast<LPCWSTR>(pathOrAddress.utf16()), nullptr,
                          nullptr, SW_SHOWNORMAL));
        return result > 32;
    }
};

} // namespace

std::unique_ptr<ShellOpener> createShellOpener()
{
    return std::make_unique<WindowsShellOpener>();
}
