#pragma once

#include <QByteArray>
#include <QString>

// A private-profile ("ini") file in code page 936, read and written with the platform's
// rules: section and key names match without regard to case, only the first of duplicate
// sections and the first of duplicate keys count, a line without "=" is no key, spaces around
// names and values are dropped, a value is at most 255 bytes and ends at its first NUL.
// Writes change only the one line they touch, keep every other byte of the file, and replace
// the file atomically (the platform rewrites the whole file).
class ProfileFile final
{
public:
    static constexpr int kMaxValueBytes = 255;

    explicit ProfileFile(QString path);

    QString path() const { return m_path; }

    // The value, or `fallback` when the file, the section or the key is missing.
    QString read(const QString &section, const QString &key, const QString &fallback) const;

    // Sets the value, creating the file, the section (at the end) and the key (at the end
    // of its section) as needed. Returns false when the file could not be written, with the
    // cause in *error when given; the file is then left as it was.
    bool write(const QString &section, const QString &key, const QString &value, QString *error = nullptr);

private:
    QString m_path;
};
