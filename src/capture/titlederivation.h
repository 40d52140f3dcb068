#pragma once

#include <QString>
#include <QTime>

namespace TitleDerivation {

// The 13 characters that end a title: ,:;.?! and space, and their full-width forms ，：；。？！
bool isStopCharacter(QChar c);

// The title of a capture: the text up to its first stop character; a run of 16 characters
// or more becomes its first 10 followed by "....."; an empty run becomes "新记录" + minute
// + second of `now`.
QString titleFor(const QString &text, const QTime &now);

// Minute then second, without leading zeros ("59" at 14:05:09, "3542" at 14:35:42).
QString minuteSecond(const QTime &now);

} // namespace TitleDerivation
