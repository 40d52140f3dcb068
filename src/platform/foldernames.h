#pragma once

#include <QString>

namespace FolderNames {

// The entries directly in `folder` whose names the system's encoding cannot give back (on
// Linux: names that are not valid UTF-8). Qt's own listings leave such entries out, and no
// path built from text can name them.
int unreadableIn(const QString &folder);

} // namespace FolderNames
