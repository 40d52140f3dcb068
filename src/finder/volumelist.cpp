#include "finder/volumelist.h"

#include <QStorageInfo>

#include <algorithm>

namespace {

QString withSeparator(QString path)
{
    if (!path.endsWith(u'/'))
        path.append(u'/');
    return path;
}

} // namespace

namespace VolumeList {

QList<Volume> mounted()
{
    QList<Volume> volumes;
    for (const QStorageInfo &info : QStorageInfo::mountedVolumes()) {
        if (!info.isValid() || !info.isReady())
            continue;
        const QString root = withSeparator(info.rootPath());
        const QString name = info.name().isEmpty() ? QString::fromUtf8(info.device()) : info.name();
        const QString label = name.isEmpty() ? root : QStringLiteral("%1  [%2]").arg(root, name);
        volumes.append({root, label});
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume &a, const Volume &b) { return a.root < b.root; });
    return volumes;
}

int initialIndex(const QList<Volume> &volumes, const QString &homePath)
{
    const QString homeRoot = withSeparator(QStorageInfo(homePath).rootPath());
    for (int i = 0; i < volumes.size(); ++i) {
        if (volumes.at(i).root == homeRoot)
            return i;
    }
    return 0;
}

} // namespace VolumeList
