#include "common/folderpath.h"

#include <QDir>

namespace FolderPath {

QString withTrailingSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString withNativeTrailingSeparator(const QString &folder)
{
    return QDir::toNativeSeparators(withTrailingSlash(QDir::fromNativeSeparators(folder)));
}

} // namespace FolderPath
