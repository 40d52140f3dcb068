#pragma once

#include <QList>
#include <QString>

// The volumes a search can run on: on Linux the mounted file systems in place of drives.
struct Volume
{
    // The volume's root folder, ending in "/"; the search starts here.
    QString root;
    // What the list shows.
    QString label;
};

namespace VolumeList {

// The mounted, readable volumes, ordered by root folder.
QList<Volume> mounted();
// The volume to start on: the one holding `homePath`, else the first.
int initialIndex(const QList<Volume> &volumes, const QString &homePath);

} // namespace VolumeList
