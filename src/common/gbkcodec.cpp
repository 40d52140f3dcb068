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
    // GB18030 writes the euro sign as A2 E3, which code page 936 readers show as a private
    // character: write the single byte 0x80 that code page 936 uses. Encoding piece by piece
    // keeps every other character's bytes as the converter gives them.
    constexpr QChar kEuro(0x20AC);
    if (!text.contains(kEuro))
        return encoder.encode(text);
    QByteArray out;
    out.reserve(text.size() * 2);
    qsizetype start = 0;
    for (qsizetype euro = text.indexOf(kEuro); euro >= 0; euro = text.indexOf(kEuro, start)) {
        out += encoder.encode(text.sliced(start, euro - start));
        out += '\x80';
        start = euro + 1;
    }
    out += encoder.encode(text.sliced(start));
    return out;
}

QString decode(QByteArrayView bytes)
{
    QStringDecoder decoder(kEncoding);
    return decoder.decode(withGb18030Euro(bytes));
}

} // namespace Gbk
