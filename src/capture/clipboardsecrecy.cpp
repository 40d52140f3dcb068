#include "capture/clipboardsecrecy.h"

#include <QMimeData>

namespace {

// Qt names foreign clipboard formats as the native name itself or wrapped as
// application/x-qt-windows-mime;value="NAME" (and similarly on macOS).
QString nativeName(const QString &format)
{
    const QString marker = QStringLiteral("value=\"");
    const qsizetype start = format.indexOf(marker);
    if (start < 0)
        return format;
    const qsizetype from = start + marker.size();
    const qsizetype end = format.indexOf(QLatin1Char('"'), from);
    return end < 0 ? format.mid(from) : format.mid(from, end - from);
}

bool allZero(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return false;
    for (const char byte : bytes) {
        if (byte != 0)
            return false;
    }
    return true;
}

} // namespace

namespace ClipboardSecrecy {

bool isSecret(const QMimeData &data)
{
    const QStringList formats = data.formats();
    for (const QString &format : formats) {
        const QString name = nativeName(format);
        if (name == QLatin1String("x-kde-passwordManagerHint")) {
            if (data.data(format).trimmed() == "secret")
                return true;
        } else if (name == QLatin1String("ExcludeClipboardContentFromMonitorProcessing")
                   || name == QLatin1String("org.nspasteboard.ConcealedType")) {
            return true;
        } else if (name == QLatin1String("CanIncludeInClipboardHistory")) {
            // A DWORD; zero forbids keeping the data.
            if (allZero(data.data(format)))
                return true;
        }
    }
    return false;
}

} // namespace ClipboardSecrecy
