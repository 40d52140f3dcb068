#include "finder/folderreader.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FolderReader::~FolderReader()
{
    close();
}

QByteArray FolderReader::encodePath(const QString &path)
{
    return QFile::encodeName(path);
}

QString FolderReader::decodePath(const QByteArray &path)
{
    return QFile::decodeName(path);
}

std::optional<FolderReader::VolumeId> FolderReader::volumeOf(const QByteArray &path)
{
    struct stat info;
    if (::stat(path.constData(), &info) != 0)
        return std::nullopt;
    return VolumeId(info.st_dev);
}

bool FolderReader::open(const QByteArray &path, VolumeId volume)
{
    close();
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || VolumeId(info.st_dev) != volume) {
        ::close(fd);
        return false;
    }
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    m_dir = dir;
    return true;
}

bool FolderReader::next(Entry *entry)
{
    if (!m_dir)
        return false;
    DIR *dir = static_cast<DIR *>(m_dir);
    const dirent *item = ::readdir(dir);
    if (!item)
        return false;
    entry->name = QByteArrayView(item->d_name);
    if (item->d_type == DT_UNKNOWN) {
        struct stat info;
        entry->isFolder = ::fstatat(::dirfd(dir), item->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISDIR(info.st_mode);
    } else {
        entry->isFolder = item->d_type == DT_DIR;
    }
    return true;
}

void FolderReader::close()
{
    if (m_dir) {
        ::closedir(static_cast<DIR *>(m_dir));
        m_dir = nullptr;
    }
}
