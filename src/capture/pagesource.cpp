#include "capture/pagesource.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMimeData>
#include <QString>
#include <QUrl>

namespace PageSource {

namespace {

// Qt offers a Windows clipboard format it has no name for under this wrapped name.
QString windowsFormat(const char *name)
{
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QLatin1StringView(name));
}

// Browsers write these addresses as UTF-8 or, Firefox, as UTF-16 in the machine's order, with
// or without a byte order mark and often with a trailing NUL. An address starts with an ASCII
// scheme letter, so a NUL beside the first byte tells UTF-16 and its byte order.
QString decodeText(QByteArray bytes)
{
    const bool bomLittle = bytes.startsWith("\xff\xfe");
    const bool bomBig = bytes.startsWith("\xfe\xff");
    const bool little = bomLittle || (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0');
    const bool big = bomBig || (bytes.size() >= 2 && bytes[0] == '\0' && bytes[1] != '\0');
    if (!little && !big)
        return QString::fromUtf8(bytes);
    if (bomLittle || bomBig)
        bytes.remove(0, 2);
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto low = static_cast<uchar>(bytes[2 * i + (little ? 0 : 1)]);
        const auto high = static_cast<uchar>(bytes[2 * i + (little ? 1 : 0)]);
        text[i] = QChar(static_cast<char16_t>(low | (high << 8)));
    }
    return text;
}

QString decodeAddress(const QByteArray &bytes)
{
    QString text = decodeText(bytes);
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

bool isOriginOnly(const QString &address)
{
    const QUrl url(address);
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty())
        return false;
    const QString path = url.path();
    return (path.isEmpty() || path == QLatin1String("/")) && !url.hasQuery();
}

CarriedAddress carriedAddressOf(const QMimeData &data)
{
    // Carriers of the page's own address. Never the link formats (text/uri-list,
    // text/x-moz-url): those name a dragged link, not the page.
    const QList<QString> directFormats = {
        QStringLiteral("chromium/x-source-url"),
        windowsFormat("Chromium internal source URL"),
        QStringLiteral("text/x-moz-url-priv"),
        windowsFormat("text/x-moz-url-priv"),
        QStringLiteral("chromium/x-renderer-taint"),
    };
    QList<QString> found;
    for (const QString &format : directFormats) {
        if (data.hasFormat(format))
            found.append(decodeAddress(data.data(format)));
    }
    // Qt's own conversion of "HTML Format" to text/html drops the header: read the raw bytes.
    const QList<QString> htmlFormats = {windowsFormat("HTML Format"), QStringLiteral("text/html")};
    for (const QString &format : htmlFormats) {
        if (data.hasFormat(format))
            found.append(sourceUrlFromHtmlHeader(data.data(format)));
    }
    CarriedAddress origin;
    for (const QString &address : std::as_const(found)) {
        if (address.isEmpty())
            continue;
        if (!isOriginOnly(address))
            return {address, true};
        if (origin.isEmpty())
            origin.address = address;
    }
    return origin;
}

} // namespace PageSource
