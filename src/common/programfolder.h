#pragma once

#include <QString>

// The folder that holds the program's data files (filelist.db, filePath.ini, readme.txt, myText):
// the executable's folder when it is writable, otherwise the per-user data folder.
class ProgramFolder final
{
public:
    explicit ProgramFolder(QString path);

    // Needs a QCoreApplication.
    static ProgramFolder locate();

    QString path() const { return m_path; }
    // The path of a file in the folder.
    QString filePath(const QString &name) const;
    // A path typed by the user, resolved against this folder when relative.
    QString resolve(const QString &path) const;

private:
    QString m_path;
};
