#pragma once

#include <QString>

// True when the path names a file that can be opened for reading; false for a folder,
// a missing or locked file and the empty path.
bool isReadableFile(const QString &path);
