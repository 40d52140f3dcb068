#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Plain-text files as Notavo stores them: code page 936 (GBK), CR LF line breaks, no BOM.
namespace GbkTextFile {

// In-memory texts use "\n"; files use CR LF. Lone CR or LF become CR LF.
QString toCrLf(const QString &text);
QString fromCrLf(const QString &text);

// The length of toCrLf(fromCrLf(text)) for a text given piece by piece: what a record's 大小
// counts, without holding the whole text.
class CrLfLength final
{
public:
    void add(QStringView piece);
    qint64 value() const { return m_length; }

private:
    qint64 m_length = 0;
    bool m_afterCr = false;
};

// The bytes a stored file holds for the text: GBK, CR LF line breaks.
QByteArray bytesOf(const QString &text);

// Writes the text atomically: a crash never leaves a half-written file. Every step is checked
// (see CheckedSave); on failure returns false and, when given, fills *error with the cause.
bool write(const QString &path, const QString &text, QString *error = nullptr);

// Writes raw bytes atomically (used for RTF copies).
bool writeBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Reads the whole file; line breaks come back as "\n". nullopt when it cannot be read.
std::optional<QString> read(const QString &path, QString *error = nullptr);

} // namespace GbkTextFile
