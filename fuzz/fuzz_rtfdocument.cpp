// The RTF writer: the document is ASCII without control bytes, its braces balance, and the
// text reads back equal.
#include "common/rtfdocument.h"
#include "common/gbktextfile.h"
#include "fuzzcheck.h"
#include "rtfreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray rtf = RtfDocument::fromPlainText(text);
    for (const char byte : rtf)
        FUZZ_CHECK(byte == '\r' || byte == '\n' || (byte >= 0x20 && byte < 0x7F));

    // Line breaks read back as "\n"; control characters other than tab, line and page breaks go.
    QString expected;
    for (const QChar c : GbkTextFile::fromCrLf(text)) {
        if (c == u'\n' || c == u'\t' || c == u'\v' || c == u'\f' || (c.unicode() >= 0x20 && c.unicode() != 0x7F))
            expected += c;
    }
    bool ok = false;
    const QString read = readRtfText(rtf, &ok);
    FUZZ_CHECK(ok);
    FUZZ_CHECK(read == expected);
    return 0;
}
