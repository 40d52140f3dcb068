#include "common/gbktextfile.h"

#include "common/checkedsave.h"
#include "common/gbkcodec.h"

#include <QFile>

namespace GbkTextFile {

QString toCrLf(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            out += u"\r\n";
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += u"\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

QString fromCrLf(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

void CrLfLength::add(QStringView piece)
{
    // Every CR, LF and CR LF becomes one CR LF; an LF right after a CR is part of that one.
    for (const QChar c : piece) {
        if (c == u'\n')
            m_length += m_afterCr ? 0 : 2;
        else
            m_length += c == u'\r' ? 2 : 1;
        m_afterCr = c == u'\r';
    }
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    // Some folders (network shares) refuse new files; fall back to a direct write there.
    return CheckedSave::replace(path, bytes, CheckedSave::DirectWrite::WhereTheFolderIsReadOnly, error);
}

QByteArray bytesOf(const QString &text)
{
    return Gbk::encode(toCrLf(text));
}

bool write(const QString &path, const QString &text, QString *error)
{
    return writeBytes(path, bytesOf(text), error);
}

std::optional<QString> read(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return fromCrLf(Gbk::decode(file.readAll()));
}

} // namespace GbkTextFile
