#include "common/gbkfilereader.h"

#include "common/gbkcodec.h"

namespace {

// The longest GBK / GB18030 character.
constexpr qsizetype kMaxCharacterBytes = 4;

} // namespace

GbkFileReader::GbkFileReader(const QString &path)
    : m_file(path)
{
}

bool GbkFileReader::open()
{
    m_atEnd = false;
    m_error = false;
    m_carry.clear();
    return m_file.open(QIODevice::ReadOnly);
}

QString GbkFileReader::readPiece()
{
    if (m_atEnd || m_error)
        return {};
    QByteArray bytes = std::exchange(m_carry, {});
    const QByteArray read = m_file.read(kPieceBytes);
    if (read.isEmpty() && m_file.error() != QFileDevice::NoError) {
        m_error = true;
        return {};
    }
    bytes += read;
    if (read.size() < kPieceBytes && m_file.atEnd()) {
        m_atEnd = true;
        return Gbk::decode(bytes);
    }
    // Keep the bytes of a character that may go on in the next piece: the prefix ends where the
    // last character's bytes are all known.
    const qsizetype whole = Gbk::wholeCharacterPrefix(bytes, bytes.size() - kMaxCharacterBytes);
    m_carry = bytes.sliced(whole);
    bytes.truncate(whole);
    return Gbk::decode(bytes);
}
