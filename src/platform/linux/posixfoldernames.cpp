#include "platform/foldernames.h"

#include <QByteArray>
#include <QFile>

#include <dirent.h>

namespace FolderNames {

int unreadableIn(const QString &folder)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return 0;
    int count = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        if (QFile::encodeName(QFile::decodeName(name)) != name)
            ++count;
    }
    ::closedir(dir);
    return count;
}

} // namespace FolderNames
