#include "capture/pagesource.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMimeData>
#include <QString>

namespace PageSource {

namespace {

// Qt offers a Windows clipboard format it has no name for under this wrapped name.
QString windowsFormat(const char *name)
{
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QLatin1StringView(name));
}

// Browsers write these addresses as UTF-8 or, Firefox, as UTF-16 in the machine's order.
QString decodeAddress(const QByteArray &bytes)
{
    QString text;
    const bool utf16 = bytes.size() >= 2 && bytes.size() % 2 == 0
        && (bytes.startsWith("\xff\xfe") || bytes.contains('\0'));
    if (utf16) {
        text = QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()), bytes.size() / 2);
        if (text.startsWith(QChar(0xfeff)))
            text.remove(0, 1);
    } else {
        text = QString::fromUtf8(bytes);
    }
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    // Some carriers hold the address and, on the next line, the page title.
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    if (lineEnd >= 0)
        text.truncate(lineEnd);
    text = text.trimmed();
    for (const QChar c : std::as_const(text)) {
        if (c.category() == QChar::Other_Control || c.isSpace())
            return {};
    }
    return text;
}

// The SourceURL: line of the header that "HTML Format" puts before the markup. The header is
// made of "Name:value" lines and ends where the markup starts.
QString sourceUrlFromHtmlHeader(const QByteArray &bytes)
{
    if (!bytes.startsWith("Version:"))
        return {};
    qsizetype headerEnd = bytes.indexOf('<');
    if (headerEnd < 0)
        headerEnd = bytes.size();
    const QByteArrayView header(bytes.constData(), headerEnd);
    static constexpr QByteArrayView kKey = "SourceURL:";
    qsizetype start = 0;
    while (start < header.size()) {
        qsizetype end = start;
        while (end < header.size() && header[end] != '\r' && header[end] != '\n')
            ++end;
        const QByteArrayView line = header.sliced(start, end - start);
        if (line.startsWith(kKey))
            return decodeAddress(line.sliced(kKey.size()).toByteArray());
        start = end + 1;
    }
    return {};
}

} // namespace

QString pageAddressFrom(const QMimeData &data)
{
    // Carriers of the page's own address, surest first. Never the link formats
    // (text/uri-list, text/x-moz-url): those name a dragged link, not the page.
    const QList<QString> directFormats = {
        QStringLiteral("text/x-moz-url-priv"),
        windowsFormat("text/x-moz-url-priv"),
        windowsFormat("Chromium internal source URL"),
    };
    for (const QString &format : directFormats) {
        if (!data.hasFormat(format))
            continue;
        const QString address = decodeAddress(data.data(format));
        if (!address.isEmpty())
            return address;
    }
    // Qt's own conversion of "HTML Format" to text/html drops the header: read the raw bytes.
    const QList<QString> htmlFormats = {windowsFormat("HTML Format"), QStringLiteral("text/html")};
    for (const QString &format : htmlFormats) {
        if (!data.hasFormat(format))
            continue;
        const QString address = sourceUrlFromHtmlHeader(data.data(format));
        if (!address.isEmpty())
            return address;
    }
    return {};
}

} // namespace PageSource
