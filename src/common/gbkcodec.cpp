#include "common/gbkcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Gbk {

namespace {

constexpr char kEncoding[] = "GB18030";

bool isLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

bool isFourByteSecond(unsigned char byte)
{
    return byte >= 0x30 && byte <= 0x39;
}

// The byte length of the character that starts at `i`.
qsizetype characterWidth(QByteArrayView bytes, qsizetype i)
{
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (!isLeadByte(byte) || i + 1 >= bytes.size())
        return 1;
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return (isFourByteSecond(second) && i + 3 < bytes.size()) ? 4 : 2;
}

// Code page 936 writes the euro sign as the single byte 0x80, which GB18030 does not
// know; rewrite it to GB18030's two-byte euro, leaving 0x80 trail bytes alone.
QByteArray withGb18030Euro(QByteArrayView bytes)
{
    if (!bytes.contains('\x80'))
        return bytes.toByteArray();
    QByteArray out;
    out.reserve(bytes.size() + 8);
    for (qsizetype i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) == 0x80) {
            out.append("\xA2\xE3", 2);
            ++i;
            continue;
        }
        const qsizetype width = characterWidth(bytes, i);
        out.append(bytes.sliced(i, width).data(), width);
        i += width;
    }
    return out;
}

} // namespace

qsizetype wholeCharacterPrefix(QByteArrayView bytes, qsizetype limit)
{
    qsizetype end = 0;
    while (end < bytes.size()) {
        const qsizetype width = characterWidth(bytes, end);
        if (end + width > limit)
            break;
        end += width;
    }
    return end;
}

QByteArray encode(QStringView text)
{
    QStringEncoder encoder(kEncoding);
    return encoder.encode(text);
}

QString decode(QByteArrayView bytes)
{
    QStringDecoder decoder(kEncoding);
    return decoder.decode(withGb18030Euro(bytes));
}

} // namespace Gbk
