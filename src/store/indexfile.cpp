#include "store/indexfile.h"

#include <QFile>
#include <QtEndian>

namespace IndexFile {

namespace {

constexpr char kMagic[] = "SQLite format 3";
constexpr int kHeaderSize = 100;

quint32 bigEndian32(const QByteArray &header, int offset)
{
    return qFromBigEndian<quint32>(header.constData() + offset);
}

} // namespace

QString asideName(const QString &path)
{
    return path + QStringLiteral(".damaged");
}

bool looksDamaged(const QString &path)
{
    QFile file(path);
    if (!file.exists() || file.size() == 0 || !file.open(QIODevice::ReadOnly))
        return false; // missing, empty or unreadable: SQLite says what it is
    const QByteArray header = file.read(kHeaderSize);
    if (header.size() < kHeaderSize || !header.startsWith(QByteArray(kMagic, sizeof kMagic)))
        return true;
    // Page size 1 stands for 65536.
    const quint32 rawPageSize = qFromBigEndian<quint16>(header.constData() + 16);
    const qint64 pageSize = rawPageSize == 1 ? 65536 : rawPageSize;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return true;
    // The page count in the header is valid only when its version stamp matches the change counter.
    const quint32 pages = bigEndian32(header, 28);
    if (pages == 0 || bigEndian32(header, 92) != bigEndian32(header, 24))
        return false;
    return file.size() < qint64(pages) * pageSize;
}

bool setAside(const QString &path)
{
    bool moved = true;
    for (const QString &suffix : {QString(), QStringLiteral("-wal")}) {
        const QString aside = asideName(path) + suffix;
        QFile::remove(aside);
        if (QFile::exists(path + suffix) && !QFile::rename(path + suffix, aside)) {
            QFile::remove(path + suffix);
            moved = false;
        }
    }
    QFile::remove(path + QStringLiteral("-shm"));
    return moved;
}

} // namespace IndexFile
