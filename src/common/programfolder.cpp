#include "common/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

ProgramFolder::ProgramFolder(QString path)
    : m_path(QDir::cleanPath(std::move(path)))
{
}

ProgramFolder ProgramFolder::locate()
{
    const ProgramFolder folder = locate(QCoreApplication::applicationDirPath(),
                                        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir().mkpath(folder.path());
    return folder;
}

ProgramFolder ProgramFolder::locate(const QString &executableFolder, const QString &userDataFolder)
{
    if (isWritableFolder(executableFolder) && installedShareFolder(executableFolder).isEmpty())
        return ProgramFolder(executableFolder);
    return ProgramFolder(userDataFolder);
}

QString ProgramFolder::installedShareFolder(const QString &executableFolder)
{
    const QString shareFolder = QDir(executableFolder).filePath(QStringLiteral(NOTAVO_INSTALLED_SHARE_FROM_BIN));
    return QFileInfo(shareFolder).isDir() ? QDir::cleanPath(shareFolder) : QString();
}

bool ProgramFolder::isWritableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    constexpr QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.isDir() && info.isWritable() && (info.permissions() & anyWrite);
}

QString ProgramFolder::filePath(const QString &name) const
{
    return QDir(m_path).filePath(name);
}

QString ProgramFolder::resolve(const QString &path) const
{
    return QDir::isAbsolutePath(path) ? path : QDir(m_path).filePath(path);
}
