#include "platform/filestamp.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileStampReader::~FileStampReader()
{
    if (m_folderHandle >= 0)
        ::close(m_folderHandle);
}

FileStamp FileStampReader::stampOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString folder = path.left(slash + 1);
    if (folder != m_folder || m_folderHandle < 0) {
        if (m_folderHandle >= 0)
            ::close(m_folderHandle);
        m_folder = folder;
        m_folderHandle = ::open(folder.isEmpty() ? "." : QFile::encodeName(folder).constData(),
                                O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    struct stat info;
    if (m_folderHandle < 0
        || ::fstatat(m_folderHandle, QFile::encodeName(path.mid(slash + 1)).constData(), &info, 0) != 0
        || !S_ISREG(info.st_mode))
        return {};
    return {qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}
