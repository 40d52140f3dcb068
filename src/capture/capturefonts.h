#pragma once

#include <QFont>
#include <QStringList>

namespace CaptureFonts {

// The capture window's font: SimSun where it is installed, else what fontconfig offers instead.
inline QFont simSun(qreal points)
{
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun")});
    font.setPointSizeF(points);
    return font;
}

} // namespace CaptureFonts
