#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The one place that converts between Qt's UTF-16 and the files' code page 936 (GBK).
// Encoding goes through GB18030, which writes GBK's bytes for every GBK character and
// keeps characters GBK cannot hold as four-byte codes instead of losing them.
namespace Gbk {

// Encodes as GB18030, except the euro sign, which is code page 936's single byte 0x80.
QByteArray encode(QStringView text);

// Decodes GBK / GB18030 bytes. Both a lone 0x80 (code page 936) and A2 E3 (GB18030) read as €.
QString decode(QByteArrayView bytes);

// The length of the longest prefix of at most `limit` bytes that ends on a character boundary.
qsizetype wholeCharacterPrefix(QByteArrayView bytes, qsizetype limit);

} // namespace Gbk
