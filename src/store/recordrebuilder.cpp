#include "store/recordrebuilder.h"

#include "common/folderpath.h"
#include "common/gbkfilereader.h"
#include "common/gbktextfile.h"
#include "platform/foldernames.h"
#include "store/recordstore.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QSet>
#include <QStringList>

namespace {

const QString kExtension = QStringLiteral(".txt");
const QString kUpperExtension = QStringLiteral(".TXT");

// Files up to this size are indexed for search as their row is added; larger ones are left to
// the background index pass, so that the rebuild never holds a large text whole.
constexpr qint64 kIndexAtOnceBytes = qint64(4) << 20;

enum class Entry { Candidate, Recorded, Folder, UnreadableName, NotRegularFile, NotText, NewerThanRebuild };

// Looks at a listed entry by its name and its file status alone; nothing is opened here.
Entry classify(const QFileInfo &listed, const QSet<QString> &recorded, const QDateTime &rebuildStart)
{
    // A name that the system's encoding cannot give back no longer names the file.
    const QFileInfo file(listed.absoluteFilePath());
    if (!file.exists() && !file.isSymLink())
        return Entry::UnreadableName;
    if (file.isDir())
        return file.isSymLink() ? Entry::NotRegularFile : Entry::Folder;
    // Only regular files (or links to them) are read: opening a pipe would block.
    if (!file.isFile())
        return Entry::NotRegularFile;
    if (!file.fileName().endsWith(kExtension) && !file.fileName().endsWith(kUpperExtension))
        return Entry::NotText;
    if (recorded.contains(QDir::cleanPath(file.absoluteFilePath())))
        return Entry::Recorded;
    // Written since the rows were read: most likely a capture made meanwhile, whose own row (with
    // its category) is added by the capture; a rebuild row would duplicate it. A date ahead of the
    // clock is no sign of that.
    const QDateTime modified = file.lastModified();
    if (modified > rebuildStart && modified <= QDateTime::currentDateTime())
        return Entry::NewerThanRebuild;
    return Entry::Candidate;
}

// The record's 文件名: without ".txt", as a capture's, where that still gives the file back
// (recordFilePath); otherwise ("A.TXT", "a.txt.txt") the whole name, as the editor's rows.
QString recordName(const QString &fileName)
{
    if (fileName.endsWith(kExtension)) {
        const QString bare = fileName.chopped(kExtension.size());
        if (recordFilePath(QString(), bare) == fileName)
            return bare;
    }
    return fileName;
}

enum class Count { Done, Unreadable, Stopped };

// The file's 大小, read piece by piece.
Count countCharacters(const QString &path, const std::function<bool()> &keepGoing, qint64 *length)
{
    GbkFileReader reader(path);
    if (!reader.open())
        return Count::Unreadable;
    GbkTextFile::CrLfLength counter;
    while (!reader.atEnd()) {
        if (!keepGoing())
            return Count::Stopped;
        counter.add(reader.readPiece());
        if (reader.hasError())
            return Count::Unreadable;
    }
    *length = counter.value();
    return Count::Done;
}

} // namespace

RecordRebuilder::Result RecordRebuilder::rebuild(RecordStore &store, const QString &saveFolder,
                                                 const std::function<bool()> &keepGoingOrEmpty)
{
    const std::function<bool()> keepGoing = keepGoingOrEmpty ? keepGoingOrEmpty : [] { return true; };
    Result result;
    const auto failed = [&result](const QString &error) {
        result.ok = false;
        result.error = error;
        return result;
    };
    if (!QFileInfo(saveFolder).isDir())
        return failed(QStringLiteral("存盘文件夹“%1”不存在。").arg(QDir::toNativeSeparators(saveFolder)));

    const QDateTime start = QDateTime::currentDateTime();
    QSet<QString> recorded;
    if (!store.forEachRecord([&recorded, &keepGoing](const Record &record) {
            recorded.insert(QDir::cleanPath(recordFilePath(record.folder, record.fileName)));
            return keepGoing();
        }))
        return failed(store.lastError());
    if (!keepGoing()) {
        result.stopped = true;
        result.folderListed = false;
        return result;
    }

    // First the listing, so that a stopped rebuild can say how much was left.
    QList<QFileInfo> candidates;
    // Names the listing cannot give are counted folder by folder, this one and each one walked.
    result.unreadableName += FolderNames::unreadableIn(saveFolder);
    QDirIterator entries(saveFolder, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        if (!keepGoing()) {
            result.stopped = true;
            result.folderListed = false;
            break;
        }
        const QFileInfo listed(entries.next());
        switch (classify(listed, recorded, start)) {
        case Entry::Candidate:
            candidates.append(listed);
            break;
        case Entry::Recorded:
            ++result.alreadyRecorded;
            break;
        case Entry::Folder:
            result.unreadableName += FolderNames::unreadableIn(listed.absoluteFilePath());
            break;
        case Entry::UnreadableName:
            ++result.unreadableName;
            break;
        case Entry::NotRegularFile:
            ++result.notRegularFile;
            break;
        case Entry::NotText:
            ++result.notText;
            break;
        case Entry::NewerThanRebuild:
            ++result.newerThanRebuild;
            break;
        }
    }

    for (qsizetype i = 0; i < candidates.size() && !result.stopped; ++i) {
        const QFileInfo &file = candidates.at(i);
        qint64 length = 0;
        const Count count = countCharacters(file.absoluteFilePath(), keepGoing, &length);
        if (count == Count::Stopped) {
            result.stopped = true;
            result.left = int(candidates.size() - i);
            break;
        }
        if (count == Count::Unreadable) {
            ++result.unreadable;
            continue;
        }
        const CurrentRecord record{recordName(file.fileName()), QString::number(length), QStringLiteral("默认文本"),
                                   FolderPath::withNativeTrailingSeparator(file.absolutePath()), QString()};
        store.setIndexesOnAdd(file.size() <= kIndexAtOnceBytes);
        const bool added = store.addFileData(record, file.lastModified().date());
        store.setIndexesOnAdd(true);
        if (!added) {
            result.left = int(candidates.size() - i);
            return failed(store.lastError());
        }
        ++result.added;
        if (i + 1 < candidates.size() && !keepGoing()) {
            result.stopped = true;
            result.left = int(candidates.size() - i - 1);
        }
    }
    return result;
}

QString RecordRebuilder::report(const Result &result)
{
    QString text = !result.ok ? QStringLiteral("重建记录中断：新增 %1 条记录。").arg(result.added)
        : result.stopped      ? QStringLiteral("重建记录已停止：新增 %1 条记录。").arg(result.added)
                              : QStringLiteral("重建记录完成：新增 %1 条记录。").arg(result.added);
    if (result.alreadyRecorded > 0)
        text += QStringLiteral("\n已有记录的文件 %1 个。").arg(result.alreadyRecorded);

    QStringList skipped;
    const auto skip = [&skipped](int count, const QString &reason) {
        if (count > 0)
            skipped.append(QStringLiteral("%1 %2 个").arg(reason).arg(count));
    };
    skip(result.notText, QStringLiteral("不是 .txt 文件"));
    skip(result.unreadable, QStringLiteral("无法读取"));
    skip(result.unreadableName, QStringLiteral("文件名无法识别"));
    skip(result.notRegularFile, QStringLiteral("不是普通文件"));
    skip(result.newerThanRebuild, QStringLiteral("重建开始后写入（可再次重建）"));
    if (!skipped.isEmpty())
        text += QStringLiteral("\n跳过：") + skipped.join(QStringLiteral("，")) + QStringLiteral("。");

    if (result.stopped || !result.ok) {
        if (result.left > 0)
            text += QStringLiteral("\n尚有 %1 个文件未处理").arg(result.left);
        else
            text += QStringLiteral("\n其余文件未处理");
        text += result.folderListed ? QStringLiteral("，可再次重建记录以继续。")
                                    : QStringLiteral("（存盘文件夹尚未查完），可再次重建记录以继续。");
    }
    if (!result.ok)
        text += u'\n' + result.error;
    return text;
}
