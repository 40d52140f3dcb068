#pragma once

#include <QString>

// A folder path ending in exactly the separator it needs, so a file name can follow it directly.
namespace FolderPath {

// `folder` with '/' added unless it already ends in one: Qt's form, for QDir, QFile and the file walk.
QString withTrailingSlash(const QString &folder);
// `folder` in the platform's own separators, ending in one: the form stored texts (存放地址) hold.
QString withNativeTrailingSeparator(const QString &folder);

} // namespace FolderPath
