#include "finder/findertext.h"

namespace FinderText {

QString progress(const QString &folder)
{
    return QStringLiteral("finding.....") + folder;
}

QString result(const QString &drive, qsizetype count, const QString &pattern)
{
    return QStringLiteral("在驱动器") + drive + QStringLiteral("上共查找到") + QString::number(count)
        + QStringLiteral("个与\"") + pattern + QStringLiteral("\"相匹配的文件。");
}

} // namespace FinderText
