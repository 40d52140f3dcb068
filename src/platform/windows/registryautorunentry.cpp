#include "platform/autorunentry.h"

#include "common/gbkcodec.h"

#include <windows.h>

namespace {

// HKLM\SoftWare\Microsoft\Windows\CurrentVersion\Run, value "Notavo", string data in code
// page 936. Switching off stores empty data; the value is never deleted. Failures (no right
// to write HKLM) leave the registry as it was and are not reported.
class RegistryAutoRunEntry final : public AutoRunEntry
{
public:
    void setCommand(const QString &command) override
    {
        HKEY key = nullptr;
        if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "SoftWare\\Microsoft\\Windows\\CurrentVersion\\Run", &key)
            != ERROR_SUCCESS)
            return;
        const QByteArray data = Gbk::encode(command);
        RegSetValueExA(key, "Notavo", 0, REG_SZ, reinterpret_cast<const BYTE *>(data.constData()),
                       static_cast<DWORD>(data.size() + 1));
        RegCloseKey(key);
    }
};

} // namespace

std::unique_ptr<AutoRunEntry> createAutoRunEntry()
{
    return std::make_unique<RegistryAutoRunEntry>();
}
