#include "settings/savefolder.h"

#include "common/programfolder.h"
#include "settings/settingsstore.h"

#include <QDir>

namespace SaveFolder {

bool isChosen(const QString &stored)
{
    const QString text = stored.trimmed();
    return !text.isEmpty() && text != SettingsStore::defaultValue();
}

QString defaultFolder(const ProgramFolder &programFolder)
{
    return QDir::toNativeSeparators(programFolder.filePath(QStringLiteral("myText")));
}

QString effective(const QString &stored, const ProgramFolder &programFolder)
{
    if (!isChosen(stored))
        return defaultFolder(programFolder);
    return programFolder.resolve(QDir::fromNativeSeparators(stored));
}

} // namespace SaveFolder
