#include "common/rtfdocument.h"

#include "common/gbkcodec.h"

namespace RtfDocument {

namespace {

void appendHex(QByteArray &out, unsigned char byte)
{
    static constexpr char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
}

// Under \uc2 every \uN is followed by two bytes that older readers show instead.
void appendUnicode(QByteArray &out, QChar c)
{
    const QByteArray gbk = Gbk::encode(QStringView(&c, 1));
    if (!c.isSurrogate() && gbk.size() == 1) {
        // The euro sign is one byte in code page 936: its own group skips just that byte.
        out += "{\\uc1\\u";
        out += QByteArray::number(static_cast<qint16>(c.unicode()));
        appendHex(out, static_cast<unsigned char>(gbk[0]));
        out += '}';
        return;
    }
    out += "\\u";
    out += QByteArray::number(static_cast<qint16>(c.unicode()));
    if (!c.isSurrogate() && gbk.size() == 2) {
        appendHex(out, static_cast<unsigned char>(gbk[0]));
        appendHex(out, static_cast<unsigned char>(gbk[1]));
    } else {
        out += "??";
    }
}

} // namespace

QByteArray fromPlainText(const QString &text)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc2"
                     "{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}"
                     "\\viewkind4\\pard\\f0\\fs24 ";
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\\':
            out += "\\\\";
            break;
        case '{':
            out += "\\{";
            break;
        case '}':
            out += "\\}";
            break;
        case '\t':
            out += "\\tab ";
            break;
        case '\r':
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += "\\par\r\n";
            break;
        case '\n':
            out += "\\par\r\n";
            break;
        case '\v':
            out += "\\line ";
            break;
        case '\f':
            out += "\\page ";
            break;
        default:
            // Other control characters (NUL, escape…) mean nothing in a document and would
            // reach word processors as raw bytes: they are left out.
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                break;
            if (c.unicode() < 0x80)
                out += static_cast<char>(c.unicode());
            else
                appendUnicode(out, c);
        }
    }
    out += "}\r\n";
    return out;
}

} // namespace RtfDocument
