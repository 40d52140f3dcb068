#include "platform/volumelist.h"

#include "common/folderpath.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace {

bool hasRoot(const QList<Volume> &volumes, const QString &root)
{
    return std::any_of(volumes.cbegin(), volumes.cend(), [&root](const Volume &v) { return v.root == root; });
}

} // namespace

namespace VolumeList {

QList<Volume> available(const QString &homePath)
{
    return fromMounted(QStorageInfo::mountedVolumes(), homePath);
}

QList<Volume> fromMounted(const QList<QStorageInfo> &mounted, const QString &homePath)
{
    QList<Volume> volumes;
    for (const QStorageInfo &info : mounted) {
        // Bind-mounted single files are volumes too, but hold no folders to search or pick.
        if (!info.isValid() || !info.isReady() || !QFileInfo(info.rootPath()).isDir())
            continue;
        const QString root = FolderPath::withTrailingSlash(info.rootPath());
        if (hasRoot(volumes, root))
            continue;
        const QString name = info.name().isEmpty() ? QString::fromUtf8(info.device()) : info.name();
        const QString label = name.isEmpty() ? root : QStringLiteral("%1  [%2]").arg(root, name);
        volumes.append({root, label});
    }
    for (const QString &root : {rootOf(homePath), QStringLiteral("/")}) {
        if (!hasRoot(volumes, root))
            volumes.append({root, root});
    }
    std::sort(volumes.begin(), volumes.end(), [](const Volume &a, const Volume &b) { return a.root < b.root; });
    return volumes;
}

QString rootOf(const QString &path)
{
    const QStorageInfo info(path);
    return info.isValid() && !info.rootPath().isEmpty() ? FolderPath::withTrailingSlash(info.rootPath())
                                                         : QStringLiteral("/");
}

int initialIndex(const QList<Volume> &volumes, const QString &homePath)
{
    const QString homeRoot = rootOf(homePath);
    for (int i = 0; i < volumes.size(); ++i) {
        if (volumes.at(i).root == homeRoot)
            return i;
    }
    return 0;
}

} // namespace VolumeList
