#include "platform/filestamp.h"

#include <QDateTime>
#include <QFileInfo>

FileStampReader::~FileStampReader() = default;

FileStamp FileStampReader::stampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000};
}
