#include "capture/titlederivation.h"

namespace TitleDerivation {

namespace {

constexpr int kLongestWholeRun = 15;
constexpr int kShortenedLength = 10;

} // namespace

bool isStopCharacter(QChar c)
{
    static const QString stops = QStringLiteral(",:;.?! ，：；。？！");
    return stops.contains(c);
}

QString minuteSecond(const QTime &now)
{
    return QString::number(now.minute()) + QString::number(now.second());
}

QString titleFor(const QString &text, const QTime &now)
{
    qsizetype run = 0;
    while (run < text.size() && !isStopCharacter(text.at(run)))
        ++run;
    if (run == 0)
        return QStringLiteral("新记录") + minuteSecond(now);
    if (run <= kLongestWholeRun)
        return text.left(run);
    // Never cut a character in two: a surrogate pair stays whole or goes whole.
    qsizetype keep = kShortenedLength;
    if (text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + QStringLiteral(".....");
}

} // namespace TitleDerivation
