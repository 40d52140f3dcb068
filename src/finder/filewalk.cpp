#include "finder/filewalk.h"

#include "common/folderpath.h"

#include <algorithm>

FileWalk::FileWalk(const QString &root, const QString &pattern)
    : m_matcher(pattern)
{
    const QByteArray start = FolderReader::encodePath(FolderPath::withTrailingSlash(root));
    const auto volume = FolderReader::volumeOf(start);
    if (!volume || pattern.isEmpty()) {
        m_finished = true;
        return;
    }
    m_volume = *volume;
    m_pending.push_back(start);
}

bool FileWalk::step(int budget)
{
    while (!m_finished && budget > 0) {
        if (!m_reader.isOpen()) {
            if (m_pending.empty()) {
                m_finished = true;
                break;
            }
            m_current = std::move(m_pending.back());
            m_pending.pop_back();
            --budget;
            // A folder that cannot be read contributes nothing.
            m_reader.open(m_current, m_volume);
            continue;
        }
        FolderReader::Entry entry;
        if (!m_reader.next(&entry)) {
            finishFolder();
            continue;
        }
        --budget;
        if (m_matcher.matches(entry.name))
            m_newMatches.append(FolderReader::decodePath(m_current + entry.name.toByteArray()));
        if (entry.isFolder && !entry.name.startsWith('.'))
            m_subfolders.push_back(m_current + entry.name.toByteArray() + '/');
    }
    return !m_finished;
}

// Closes the folder's enumeration before any of its sub-folders is opened.
void FileWalk::finishFolder()
{
    m_reader.close();
    std::move(m_subfolders.rbegin(), m_subfolders.rend(), std::back_inserter(m_pending));
    m_subfolders.clear();
}

void FileWalk::stop()
{
    m_reader.close();
    m_pending.clear();
    m_subfolders.clear();
    m_finished = true;
}

QString FileWalk::currentFolder() const
{
    return FolderReader::decodePath(m_current);
}

QStringList FileWalk::takeNewMatches()
{
    return std::exchange(m_newMatches, {});
}
