#include "common/checkedsave.h"

#include <QSaveFile>

namespace CheckedSave {

namespace {

QString causeOf(const QSaveFile &file)
{
    // Qt reports a write that ran out of space (ENOSPC) as a resource error.
    if (file.error() == QFileDevice::ResourceError)
        return QStringLiteral("磁盘已满");
    return file.errorString();
}

} // namespace

bool replace(const QString &path, QByteArrayView bytes, DirectWrite directWrite, QString *error)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(directWrite == DirectWrite::WhereTheFolderIsReadOnly);
    // Small writes only reach the disk when the buffer is flushed, so a full disk shows in
    // flush() or commit(), not in write(): each step is checked.
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size()
        && file.flush() && file.error() == QFileDevice::NoError;
    if (written && file.commit())
        return true;
    if (error)
        *error = causeOf(file);
    file.cancelWriting();
    return false;
}

} // namespace CheckedSave
