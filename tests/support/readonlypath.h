#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <unistd.h>

// Makes a file or folder read-only for the test, also when the tests run as root, where the
// permission bits do not bind: the immutable attribute is set then. Undone on destruction.
// holds() tells whether writes are really refused; a test skips its case when they are not.
class ReadOnlyPath final
{
public:
    // KeepBits leaves the permission bits as they are (a folder that must look right to its
    // users, as a session's runtime folder), so only root's immutable attribute holds then.
    enum Bits { ClearWriteBits, KeepBits };

    explicit ReadOnlyPath(QString path, Bits bits = ClearWriteBits)
        : m_path(std::move(path))
        , m_permissions(QFile::permissions(m_path))
    {
        if (bits == ClearWriteBits)
            QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther
                                              | (QFileInfo(m_path).isDir() ? QFileDevice::ExeOwner : QFileDevice::Permissions()));
        if (::geteuid() == 0 && !QStandardPaths::findExecutable(QStringLiteral("chattr")).isEmpty())
            m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}) == 0;
    }
    ~ReadOnlyPath()
    {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        QFile::setPermissions(m_path, m_permissions);
    }
    Q_DISABLE_COPY_MOVE(ReadOnlyPath)

    bool holds() const
    {
        if (QFileInfo(m_path).isDir()) {
            QFile probe(QDir(m_path).filePath(QStringLiteral(".probe")));
            const bool writable = probe.open(QIODevice::WriteOnly);
            if (writable)
                probe.remove();
            return !writable;
        }
        QFile probe(m_path);
        return !probe.open(QIODevice::ReadWrite);
    }

private:
    QString m_path;
    QFileDevice::Permissions m_permissions;
    bool m_immutable = false;
};
