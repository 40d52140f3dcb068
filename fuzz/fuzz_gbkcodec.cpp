// The GBK / GB18030 codec: bytes decoded then encoded and decoded again give the same text,
// and so does any valid UTF-16 text; a cut never splits a character.
#include "common/gbkcodec.h"
#include "fuzzcheck.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = Gbk::decode(bytes);
    const QByteArray encoded = Gbk::encode(text);
    FUZZ_CHECK(Gbk::decode(encoded) == text);

    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, (size / 2) * 2);
    if (utf16.isValidUtf16())
        FUZZ_CHECK(Gbk::decode(Gbk::encode(utf16)) == utf16);

    const qsizetype limit = size ? data[0] : 0;
    const qsizetype cut = Gbk::wholeCharacterPrefix(encoded, limit);
    FUZZ_CHECK(cut <= limit && cut <= encoded.size());
    FUZZ_CHECK(Gbk::decode(encoded.left(cut)) + Gbk::decode(encoded.mid(cut)) == text);
    return 0;
}
