#pragma once

#include <QByteArrayView>
#include <QString>

// Replaces a file's whole content and judges the write end to end: every byte written, the
// buffer flushed, the device without error and the new file committed over the old one.
// On any failure the old file stays as it was.
namespace CheckedSave {

enum class DirectWrite {
    // Always through a temporary file and a rename.
    Never,
    // Writes in place where the folder refuses new files but the file itself may be written
    // (some network shares); the old content is then not kept on failure.
    WhereTheFolderIsReadOnly,
};

// On failure returns false and, when given, fills *error with the cause in the user's words:
// "磁盘已满" when the file system ran out of space, else the system's own description.
bool replace(const QString &path, QByteArrayView bytes, DirectWrite directWrite, QString *error = nullptr);

} // namespace CheckedSave
