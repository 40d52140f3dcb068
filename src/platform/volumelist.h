#pragma once

#include <QList>
#include <QStorageInfo>
#include <QString>

// The volumes a search or a folder choice can start from: on Linux the mounted file systems
// in place of drives.
struct Volume
{
    // The volume's root folder, ending in "/"; the search starts here.
    QString root;
    // What the list shows.
    QString label;
};

namespace VolumeList {

// The mounted volumes that hold folders, ordered by root folder, always including the volume
// of `homePath` and "/": inside a chroot the system may list no volume at all.
QList<Volume> available(const QString &homePath);
// The same from a given list of mounted volumes (the seam the tests use).
QList<Volume> fromMounted(const QList<QStorageInfo> &mounted, const QString &homePath);
// The root folder, ending in "/", of the volume that holds `path`; "/" when the system
// cannot tell.
QString rootOf(const QString &path);
// The volume to start on: the one holding `homePath`, else the first.
int initialIndex(const QList<Volume> &volumes, const QString &homePath);

} // namespace VolumeList
