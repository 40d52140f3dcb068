#include "platform/shellopener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

// Opens files and addresses through the desktop's handlers (xdg-open and the like).
class DesktopShellOpener final : public ShellOpener
{
public:
    bool open(const QString &pathOrAddress) override
    {
        if (pathOrAddress.isEmpty())
            return false;
        const QFileInfo file(pathOrAddress);
        const QUrl url = file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath())
                                       : QUrl::fromUserInput(pathOrAddress);
        return url.isValid() && QDesktopServices::openUrl(url);
    }
};

} // namespace

std::unique_ptr<ShellOpener> createShellOpener()
{
    return std::make_unique<DesktopShellOpener>();
}
