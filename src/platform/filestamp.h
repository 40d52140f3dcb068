#pragma once

#include <QByteArray>
#include <QString>

// A file's size and modification time, to tell whether it changed since it was last seen.
struct FileStamp
{
    qint64 size = -1;
    qint64 modified = -1; // nanoseconds where the file system keeps them; -1: no such file

    bool operator==(const FileStamp &) const = default;
};

// Reads the stamps of many files quickly: a search checks every file it lists. Files in the
// folder of the file before are looked up from that folder (one step instead of a whole path).
class FileStampReader final
{
public:
    FileStampReader() = default;
    ~FileStampReader();
    Q_DISABLE_COPY_MOVE(FileStampReader)

    FileStamp stampOf(const QString &path);

private:
    QString m_folder;
    int m_folderHandle = -1;
};
