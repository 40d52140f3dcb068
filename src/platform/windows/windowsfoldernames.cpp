#include "platform/foldernames.h"

namespace FolderNames {

int unreadableIn(const QString &)
{
    // Names are UTF-16 text on Windows: Qt lists every one.
    return 0;
}

} // namespace FolderNames
