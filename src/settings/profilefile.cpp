#include "settings/profilefile.h"

#include "common/checkedsave.h"
#include "common/gbkcodec.h"

#include <QFile>
#include <QList>
#include <optional>

namespace {

// The file as lines of bytes; each line keeps its own line break so untouched lines
// are written back exactly as they were read.
struct Line
{
    QByteArray text;  // without the line break
    QByteArray ending;
};

// Lines end at CR or LF bytes before anything is decoded. Unlike the platform, a lone lead
// byte at the end of a line therefore never swallows the line break and the next line.
QList<Line> splitLines(const QByteArray &content)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = start;
        while (end < content.size() && content[end] != '\n' && content[end] != '\r')
            ++end;
        Line line{content.mid(start, end - start), {}};
        if (end < content.size()) {
            const qsizetype breakLength = (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') ? 2 : 1;
            line.ending = content.mid(end, breakLength);
            end += breakLength;
        }
        lines.append(line);
        start = end;
    }
    return lines;
}

QString nameOf(const QByteArray &bytes)
{
    return Gbk::decode(bytes.trimmed());
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The section name of a "[name]" line; nullopt for any other line. The line is decoded
// before the "]" is looked for, as the platform does: "]" (0x5D) is also a trail byte.
std::optional<QString> sectionName(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('['))
        return std::nullopt;
    const QString text = Gbk::decode(trimmed);
    const qsizetype close = text.lastIndexOf(u']');
    if (close < 0)
        return std::nullopt;
    return text.mid(1, close - 1).trimmed();
}

struct KeyLine
{
    QString key;
    QByteArray value;  // raw, trimmed
};

KeyLine keyLine(const QByteArray &line)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return {nameOf(line), {}};
    return {nameOf(line.left(equals)), line.mid(equals + 1).trimmed()};
}

// The platform drops one pair of matching quotes around a value.
QByteArray unquoted(const QByteArray &value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// Cuts at the first NUL and to at most 255 bytes. Unlike the platform, the cut never goes
// through the middle of a character, so the value never ends in half a character.
QString valueText(QByteArray value)
{
    const qsizetype nul = value.indexOf('\0');
    if (nul >= 0)
        value.truncate(nul);
    value.truncate(Gbk::wholeCharacterPrefix(value, ProfileFile::kMaxValueBytes));
    return Gbk::decode(value);
}

QByteArray readAll(const QString &path, bool *exists, QString *error = nullptr)
{
    QFile file(path);
    *exists = file.open(QIODevice::ReadOnly);
    if (!*exists && error)
        *error = file.errorString();
    return *exists ? file.readAll() : QByteArray();
}

} // namespace

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path))
{
}

QString ProfileFile::read(const QString &section, const QString &key, const QString &fallback) const
{
    bool exists = false;
    const QByteArray content = readAll(m_path, &exists);
    if (!exists)
        return fallback;
    bool inSection = false;
    for (const Line &line : splitLines(content)) {
        if (const auto name = sectionName(line.text)) {
            // Only the first section of a name counts, for the platform and for write().
            if (inSection)
                break;
            inSection = sameName(*name, section);
            continue;
        }
        // A line without "=" holds no value, even when it names the key: read on.
        if (!inSection || !line.text.contains('='))
            continue;
        const KeyLine entry = keyLine(line.text);
        if (sameName(entry.key, key))
            return valueText(unquoted(entry.value));
    }
    return fallback;
}

bool ProfileFile::write(const QString &section, const QString &key, const QString &value, QString *error)
{
    bool exists = false;
    const QByteArray content = readAll(m_path, &exists, error);
    // A file that is there but cannot be read would be replaced by this one key: leave it be.
    if (!exists && QFile::exists(m_path))
        return false;
    QList<Line> lines = splitLines(content);
    const QByteArray newline = "\r\n";
    const QByteArray keyValue = Gbk::encode(key) + '=' + Gbk::encode(value);

    // Find the section, the key within it, and the last non-empty line of the section.
    qsizetype sectionLine = -1;
    qsizetype lastEntry = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i].text)) {
            if (inSection)
                break;
            inSection = sameName(*name, section);
            if (inSection)
                sectionLine = lastEntry = i;
            continue;
        }
        if (!inSection || lines[i].text.trimmed().isEmpty())
            continue;
        lastEntry = i;
        if (sameName(keyLine(lines[i].text).key, key)) {
            // Keep the stored key name's spelling; replace the value.
            const QByteArray &text = lines[i].text;
            const qsizetype equals = text.indexOf('=');
            const QByteArray storedKey = (equals < 0 ? text : text.left(equals)).trimmed();
            lines[i].text = storedKey + '=' + Gbk::encode(value);
            sectionLine = -2;  // done
            break;
        }
    }

    if (sectionLine >= 0) {
        // Section present, key missing: add the key after the section's last entry.
        if (lines[lastEntry].ending.isEmpty())
            lines[lastEntry].ending = newline;
        lines.insert(lastEntry + 1, Line{keyValue, newline});
    } else if (sectionLine == -1) {
        if (!lines.isEmpty() && lines.back().ending.isEmpty())
            lines.back().ending = newline;
        lines.append(Line{'[' + Gbk::encode(section) + ']', newline});
        lines.append(Line{keyValue, newline});
    }

    QByteArray out;
    out.reserve(content.size() + keyValue.size() + 32);
    for (const Line &line : lines)
        out += line.text + line.ending;

    // Written through a temporary file only: a failed write keeps the old file whole.
    return CheckedSave::replace(m_path, out, CheckedSave::DirectWrite::Never, error);
}
