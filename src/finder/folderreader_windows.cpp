#include "finder/folderreader.h"

#include <QString>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <memory>
#include <string>

// Paths and names travel as UTF-8 here, so that every name the file system holds reaches the
// matcher intact (the ANSI code page could not spell all of them).

namespace {

struct Enumeration
{
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    // The first entry comes with FindFirstFileExW and is handed out by the first next().
    bool hasPending = false;
    QByteArray name;
};

std::wstring widePath(const QByteArray &path)
{
    return QString::fromUtf8(path).toStdWString();
}

// A handle on the file or folder itself, never on the target of a link or junction.
HANDLE openItself(const std::wstring &path)
{
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool isLink(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool isRealFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !isLink(attributes);
}

} // namespace

FolderReader::~FolderReader()
{
    close();
}

QByteArray FolderReader::encodePath(const QString &path)
{
    return path.toUtf8();
}

QString FolderReader::decodePath(const QByteArray &path)
{
    return QString::fromUtf8(path);
}

std::optional<FolderReader::VolumeId> FolderReader::volumeOf(const QByteArray &path)
{
    // Follows links, as stat() does: the volume is the one the path leads to.
    const HANDLE handle = ::CreateFileW(widePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    if (!known)
        return std::nullopt;
    return VolumeId(info.dwVolumeSerialNumber);
}

bool FolderReader::open(const QByteArray &path, VolumeId volume)
{
    close();
    std::wstring folder = widePath(path);
    // The folder itself must be a real folder on `volume`: a symbolic link or junction is not
    // entered, as O_NOFOLLOW refuses it on POSIX systems.
    const HANDLE handle = openItself(folder);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    if (!known || !isRealFolder(info.dwFileAttributes) || VolumeId(info.dwVolumeSerialNumber) != volume)
        return false;

    if (!folder.empty() && folder.back() != L'/' && folder.back() != L'\\')
        folder += L'\\';
    folder += L'*';
    auto enumeration = std::make_unique<Enumeration>();
    enumeration->find = ::FindFirstFileExW(folder.c_str(), FindExInfoBasic, &enumeration->data,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    // An empty drive root lists nothing at all, not even "." and "..": still an open folder.
    if (enumeration->find == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    enumeration->hasPending = enumeration->find != INVALID_HANDLE_VALUE;
    m_dir = enumeration.release();
    return true;
}

// Drive roots list no "." and ".."; other folders do, as on POSIX systems.
bool FolderReader::next(Entry *entry)
{
    if (!m_dir)
        return false;
    auto *enumeration = static_cast<Enumeration *>(m_dir);
    if (!enumeration->hasPending) {
        if (enumeration->find == INVALID_HANDLE_VALUE || !::FindNextFileW(enumeration->find, &enumeration->data))
            return false;
    }
    enumeration->hasPending = false;
    enumeration->name = QString::fromWCharArray(enumeration->data.cFileName).toUtf8();
    entry->name = QByteArrayView(enumeration->name);
    entry->isFolder = isRealFolder(enumeration->data.dwFileAttributes);
    return true;
}

void FolderReader::close()
{
    if (!m_dir)
        return;
    auto *enumeration = static_cast<Enumeration *>(m_dir);
    if (enumeration->find != INVALID_HANDLE_VALUE)
        ::FindClose(enumeration->find);
    delete enumeration;
    m_dir = nullptr;
}
