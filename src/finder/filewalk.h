#pragma once

#include "finder/folderreader.h"
#include "finder/wildcardmatcher.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The drive search: a depth-first walk from a root folder in which a folder's own matches
// come before those of its sub-folders, sub-folders are taken in the order the file system
// lists them, folders whose names begin with "." are not entered, symbolic links to folders
// are never followed and the walk never leaves the root's volume. Every entry whose name
// matches is listed, folders included. At most one folder enumeration is open at a time.
//
// The walk runs in slices (step) so that a window can stay responsive and stop it.
class FileWalk final
{
public:
    // `root` is a folder; the listed paths start with it, followed by "/" when missing.
    FileWalk(const QString &root, const QString &pattern);
    Q_DISABLE_COPY_MOVE(FileWalk)

    // Reads at most `budget` folder entries; false once the walk has ended.
    bool step(int budget);
    // Ends the walk at once; the matches found so far stay.
    void stop();
    bool isFinished() const { return m_finished; }

    // The folder being read, ending in "/".
    QString currentFolder() const;
    // The matches found since the last call, in walk order.
    QStringList takeNewMatches();

private:
    void finishFolder();

    WildcardMatcher m_matcher;
    FolderReader m_reader;
    FolderReader::VolumeId m_volume = 0;
    std::vector<QByteArray> m_pending;
    std::vector<QByteArray> m_subfolders;
    QByteArray m_current;
    QStringList m_newMatches;
    bool m_finished = false;
};
