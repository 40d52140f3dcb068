#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// A small tmpfs mounted in a temporary folder, to be filled up for full-disk tests.
// Mounting needs root; isMounted() is false where it cannot be done, and the test skips.
class FullFileSystem final
{
public:
    FullFileSystem()
    {
        if (!m_dir.isValid() || QProcess::execute(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=64k"),
                 QStringLiteral("tmpfs"), m_dir.path()}) != 0)
            return;
        m_mounted = true;
    }
    ~FullFileSystem()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    Q_DISABLE_COPY_MOVE(FullFileSystem)

    bool isMounted() const { return m_mounted; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Takes every free byte with one filler file.
    void fill()
    {
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
