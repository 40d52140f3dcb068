#include "store/recordrebuilder.h"

#include "common/folderpath.h"
#include "common/gbktextfile.h"
#include "store/recordstore.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QSet>

RecordRebuilder::Result RecordRebuilder::rebuild(RecordStore &store, const QString &saveFolder,
                                                 const std::function<bool()> &keepGoing)
{
    Result result;
    const auto failed = [&] {
        result.ok = false;
        result.error = store.lastError();
        return result;
    };
    QSet<QString> recorded;
    if (!store.forEachRecord([&recorded](const Record &record) {
            recorded.insert(QDir::cleanPath(recordFilePath(record.folder, record.fileName)));
            return true;
        }))
        return failed();

    QDirIterator files(saveFolder, {QStringLiteral("*.txt")}, QDir::Files | QDir::System | QDir::CaseSensitive,
                       QDirIterator::Subdirectories);
    while (files.hasNext() && (!keepGoing || keepGoing())) {
        const QFileInfo file(files.next());
        // Only regular files are read (a pipe would block); a broken link cannot be.
        if (!file.isFile()) {
            result.unreadable += file.isSymLink() ? 1 : 0;
            continue;
        }
        const QString path = QDir::cleanPath(file.absoluteFilePath());
        if (recorded.contains(path))
            continue;
        const std::optional<QString> text = GbkTextFile::read(path);
        if (!text) {
            ++result.unreadable;
            continue;
        }
        const CurrentRecord record{file.fileName().chopped(4), QString::number(GbkTextFile::toCrLf(*text).size()),
                                   QStringLiteral("默认文本"),
                                   FolderPath::withNativeTrailingSeparator(file.absolutePath()), QString()};
        if (!store.addFileData(record, file.lastModified().date()))
            return failed();
        recorded.insert(path);
        ++result.added;
    }
    return result;
}
