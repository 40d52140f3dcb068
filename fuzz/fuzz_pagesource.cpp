// The page address of copied or dropped data: every carrier format fed arbitrary bytes.
// Input: for each format in turn a one-byte length and that many bytes, the last format
// taking what is left.
#include "capture/pagesource.h"
#include "fuzzcheck.h"

#include <QMimeData>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QStringList formats = {
        QStringLiteral("text/x-moz-url-priv"),
        QStringLiteral("chromium/x-source-url"),
        QStringLiteral("chromium/x-renderer-taint"),
        QStringLiteral("application/x-qt-windows-mime;value=\"text/x-moz-url-priv\""),
        QStringLiteral("application/x-qt-windows-mime;value=\"Chromium internal source URL\""),
        QStringLiteral("application/x-qt-windows-mime;value=\"HTML Format\""),
        QStringLiteral("text/html"),
    };
    QMimeData mime;
    size_t at = 0;
    for (qsizetype i = 0; i < formats.size() && at < size; ++i) {
        size_t length = size - at;
        if (i + 1 < formats.size()) {
            const size_t wanted = data[at++];
            length = std::min(wanted, size - at);
        }
        mime.setData(formats.at(i), QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(length)));
        at += length;
    }
    const PageSource::CarriedAddress carried = PageSource::carriedAddressOf(mime);
    // An address is one line of visible characters, and a full page address is never a bare origin.
    for (const QChar c : carried.address)
        FUZZ_CHECK(!c.isSpace() && c.category() != QChar::Other_Control);
    FUZZ_CHECK(!carried.fullPage || !PageSource::isOriginOnly(carried.address));
    return 0;
}
