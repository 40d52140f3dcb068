#include "app/settingsopeningcheck.h"

#include "common/programfolder.h"
#include "settings/settings.h"
#include "settings/settingsstore.h"

#include <QFileInfo>

bool runSettingsOpeningCheck(const SettingsStore &store, Settings &settings, const ProgramFolder &programFolder,
                             const std::function<void(const QString &)> &showMessage)
{
    store.readSysTem(settings);
    if (QFileInfo(programFolder.resolve(settings.saveFolder)).isDir())
        return true;
    if (showMessage)
        showMessage(QStringLiteral("自动存盘文件夹已被删除或改变,请重新设置！"));
    return false;
}
