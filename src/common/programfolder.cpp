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
    const QString executableFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(executableFolder).isWritable())
        return ProgramFolder(executableFolder);
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataFolder);
    return ProgramFolder(dataFolder);
}

QString ProgramFolder::filePath(const QString &name) const
{
    return QDir(m_path).filePath(name);
}

QString ProgramFolder::resolve(const QString &path) const
{
    return QDir::isAbsolutePath(path) ? path : QDir(m_path).filePath(path);
}
