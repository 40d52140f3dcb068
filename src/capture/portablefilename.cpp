#include "capture/portablefilename.h"

#include <QRegularExpression>

bool isPortableFileName(const QString &baseName)
{
    if (baseName.isEmpty())
        return false;
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : baseName) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || forbidden.contains(c))
            return false;
    }
    static const QRegularExpression reserved(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return !reserved.match(baseName.trimmed()).hasMatch();
}
