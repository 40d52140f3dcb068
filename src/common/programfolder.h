#pragma once

#include <QString>

// The folder that holds the program's data files (filelist.db, filePath.ini, readme.txt, myText):
// the executable's folder when it is writable, otherwise the per-user data folder.
class ProgramFolder final
{
public:
    explicit ProgramFolder(QString path);

    // Needs a QCoreApplication. Creates the per-user data folder when that is the one chosen.
    static ProgramFolder locate();
    // The choice itself: the executable's folder, unless it is read-only or belongs to an
    // installed program, in which case the per-user data folder.
    static ProgramFolder locate(const QString &executableFolder, const QString &userDataFolder);
    // The installed share folder of a program installed under a prefix (<prefix>/share/notavo
    // beside <prefix>/bin), or the empty text when the executable's folder has none.
    static QString installedShareFolder(const QString &executableFolder);
    // Whether a folder may be written, by its mode bits as well: root passes the system's
    // access test for any folder, yet a folder without any write bit is meant to stay as it is.
    static bool isWritableFolder(const QString &folder);

    QString path() const { return m_path; }
    // The path of a file in the folder.
    QString filePath(const QString &name) const;
    // A path typed by the user, resolved against this folder when relative.
    QString resolve(const QString &path) const;

private:
    QString m_path;
};
