#pragma once

#include <QString>

namespace Version {

constexpr int kMajor = 2;
constexpr int kMinor = 0;
constexpr int kRevision = 1;

// "2.0.1"
inline QString number()
{
    return QStringLiteral("%1.%2.%3").arg(kMajor).arg(kMinor).arg(kRevision);
}

// "版本 2.0.1"
inline QString line()
{
    return QStringLiteral("版本 ") + number();
}

} // namespace Version
