#include "capture/recordwriter.h"

#include "capture/portablefilename.h"
#include "capture/titlederivation.h"
#include "common/folderpath.h"
#include "common/gbktextfile.h"
#include "common/programfolder.h"
#include "platform/clock.h"
#include "platform/shellopener.h"
#include "settings/choseneditor.h"
#include "common/readablefile.h"
#include "settings/savefolder.h"
#include "settings/settings.h"
#include "store/recordstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kTextExtension = QStringLiteral(".txt");

bool exists(const QString &path)
{
    return QFileInfo::exists(path);
}

// Why the save folder could not be made, as far as the file system tells.
QString folderProblem(const QString &folder)
{
    QFileInfo level(folder);
    while (!level.exists() && !level.isRoot() && level.absolutePath() != level.absoluteFilePath())
        level = QFileInfo(level.absolutePath());
    if (level.exists() && !level.isDir())
        return QStringLiteral("“%1”是一个文件,不是文件夹").arg(QDir::toNativeSeparators(level.absoluteFilePath()));
    if (level.exists() && !level.isWritable())
        return QStringLiteral("没有在“%1”中建立文件夹的权限").arg(QDir::toNativeSeparators(level.absoluteFilePath()));
    return QStringLiteral("无法建立该文件夹");
}

} // namespace

RecordWriter::RecordWriter(Context context)
    : m_context(context)
    , m_pending(pendingFolder(context.programFolder))
{
}

QString RecordWriter::pendingFolder(const ProgramFolder &programFolder)
{
    return programFolder.filePath(QStringLiteral("pending-captures"));
}

void RecordWriter::setOpenInEditor(std::function<void(const QString &)> openInEditor)
{
    m_openInEditor = std::move(openInEditor);
}

QString RecordWriter::saveFolderPath() const
{
    // A relative save folder lies below the program folder, not the working folder; with no
    // folder chosen, captures go to the default folder.
    return FolderPath::withNativeTrailingSeparator(
        SaveFolder::effective(m_context.settings.saveFolder, m_context.programFolder));
}

QString RecordWriter::freeBaseName(const QString &folder, const QString &baseName) const
{
    // Never overwrite an earlier record's file: number the name until it is free.
    QString candidate = baseName;
    for (int n = 2; exists(folder + candidate + kTextExtension); ++n)
        candidate = QStringLiteral("%1(%2)").arg(baseName).arg(n);
    return candidate;
}

bool RecordWriter::writeAndRecord(CurrentRecord record, const QString &baseName, const QString &title,
                                  const QString &text, Result &result)
{
    const QString &folder = record.recFolder;
    // The name is free: the file written here is this click's own, and only it is ever removed.
    record.recFileName = freeBaseName(folder, baseName);
    const QString path = folder + record.recFileName + kTextExtension;
    const QDate today = m_context.clock.today();
    const QByteArray bytes = GbkTextFile::bytesOf(text);
    // Noted before the file, removed after the row: a capture cut off between them is completed
    // at the next start.
    const QString note = m_pending.add({record, today, bytes});
    QString error;
    if (!GbkTextFile::writeBytes(path, bytes, &error)) {
        discardFile(path);
        PendingCaptures::remove(note);
        result.error = QStringLiteral("无法保存“%1”：写入文件“%2”失败（%3）。")
                           .arg(title, QDir::toNativeSeparators(path), error);
        return false;
    }
    if (m_fileWrittenHook && !m_fileWrittenHook())
        return false;
    // The index takes the text as written instead of reading the file back.
    if (!m_context.store.addFileData(record, today, text, &result.rowId)) {
        // A capture that was not recorded leaves no file behind; the window keeps its text.
        result.error = QStringLiteral("无法保存“%1”：%2").arg(title, m_context.store.lastError());
        if (!discardFile(path))
            result.error += QStringLiteral("\n已写入的文件“%1”未能删除。").arg(QDir::toNativeSeparators(path));
        PendingCaptures::remove(note);
        return false;
    }
    PendingCaptures::remove(note);
    result.filePath = path;
    return true;
}

bool RecordWriter::amendSource(qint64 rowId, const QString &source)
{
    return m_context.store.setSource(rowId, source);
}

bool RecordWriter::discardFile(const QString &path)
{
    return !exists(path) || QFile::remove(path);
}

RecordWriter::Result RecordWriter::save(const Capture &capture)
{
    Result result;
    const QString &text = capture.text;
    const QTime now = m_context.clock.now().time();

    QString title = TitleDerivation::titleFor(text, now);
    const QString folder = saveFolderPath();
    CurrentRecord record{title, QString::number(GbkTextFile::toCrLf(text).size()), capture.category, folder,
                         capture.source};

    if (!QDir().mkpath(folder)) {
        result.error = QStringLiteral("无法保存“%1”：无法建立存盘文件夹“%2”（%3）。")
                           .arg(title, QDir::toNativeSeparators(folder), folderProblem(folder));
        return result;
    }

    if (isPortableFileName(title)) {
        const QString shownTitle = title;
        if (isReadableFile(folder + title + kTextExtension))
            title += TitleDerivation::minuteSecond(now);
        // Any failure under a usable name is reported as it is: the fallback name below is only
        // for titles that cannot be file names.
        if (writeAndRecord(record, title, shownTitle, text, result)) {
            openInChosenEditor(result.filePath, text);
            result.outcome = Outcome::Stored;
        }
        return result;
    }

    // The title cannot be a file name: store under "新记录" + day of month, and leave the window as it is.
    const QString fallback = QStringLiteral("新记录") + QString::number(m_context.clock.today().day());
    if (writeAndRecord(record, fallback, title, text, result))
        result.outcome = Outcome::StoredUnderFallbackName;
    return result;
}

void RecordWriter::openInChosenEditor(const QString &textPath, const QString &text)
{
    const Settings &settings = m_context.settings;
    if (!settings.autoOpen)
        return;
    // The writer's own files are no programs: the shell gets them directly.
    ShellOpener &shell = m_context.shell;
    const ChosenEditor editor(settings.editor, m_openInEditor,
                              [&shell](const QString &path) { return shell.open(path); });
    editor.openRecord(textPath, {}, text);
}
