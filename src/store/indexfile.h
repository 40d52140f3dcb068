#pragma once

#include <QString>

// The search index's file as a file: whether it is plainly damaged before SQLite reads it,
// and setting a damaged one aside so that a new one can be built in its place.
namespace IndexFile {

// True when the file is there but is no SQLite database, or is shorter than its header says
// (cut off). A missing or empty file is not damaged: it is created.
bool looksDamaged(const QString &path);

// Renames the file, with its write-ahead log, to "<name>.damaged" (replacing an earlier
// one). False when it could not be moved; it is then removed, since it is derived data.
bool setAside(const QString &path);

// The name a damaged index is set aside under.
QString asideName(const QString &path);

} // namespace IndexFile
