#pragma once

#include <QString>

// The finder's progress and result lines.
namespace FinderText {

// "finding....." followed by the folder being searched.
QString progress(const QString &folder);
// For example 在驱动器/上共查找到3个与"*.txt"相匹配的文件。
QString result(const QString &drive, qsizetype count, const QString &pattern);

} // namespace FinderText
