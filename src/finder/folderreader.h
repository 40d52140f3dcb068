#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// Enumerates one folder at a time through the file system's own interface, without
// following symbolic links and without crossing onto another volume.
class FolderReader final
{
public:
    using VolumeId = quint64;

    struct Entry
    {
        QByteArrayView name;
        // A real folder: symbolic links to folders are not counted as folders.
        bool isFolder = false;
    };

    FolderReader() = default;
    ~FolderReader();
    Q_DISABLE_COPY_MOVE(FolderReader)

    // A path as this reader takes it, and back: the system's file name encoding on POSIX
    // systems, UTF-8 on Windows. The names next() yields are in the same encoding.
    static QByteArray encodePath(const QString &path);
    static QString decodePath(const QByteArray &path);

    // The volume that holds `path`; nullopt when it cannot be read.
    static std::optional<VolumeId> volumeOf(const QByteArray &path);

    // Starts enumerating `path` (closing any earlier enumeration). False when the folder
    // cannot be read, is a symbolic link or lies on another volume than `volume`.
    bool open(const QByteArray &path, VolumeId volume);
    // The next entry, "." and ".." included; false at the end. The name stays valid until
    // the next call.
    bool next(Entry *entry);
    void close();
    bool isOpen() const { return m_dir != nullptr; }

private:
    void *m_dir = nullptr;
};
