#include "capture/recordwriter.h"

#include "capture/portablefilename.h"
#include "capture/rtfdocument.h"
#include "capture/titlederivation.h"
#include "common/gbktextfile.h"
#include "common/programfolder.h"
#include "platform/clock.h"
#include "platform/shellopener.h"
#include "settings/editorchoice.h"
#include "settings/fileexist.h"
#include "settings/settings.h"
#include "store/currentrecord.h"
#include "store/recordstore.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kTextExtension = QStringLiteral(".txt");

QString withTrailingSeparator(const QString &folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

bool exists(const QString &path)
{
    return QFileInfo::exists(path);
}

} // namespace

RecordWriter::RecordWriter(Context context)
    : m_context(context)
{
}

void RecordWriter::setOpenInEditor(std::function<void(const QString &)> openInEditor)
{
    m_openInEditor = std::move(openInEditor);
}

QString RecordWriter::saveFolderPath() const
{
    // A relative save folder lies below the program folder, not the working folder.
    return withTrailingSeparator(m_context.programFolder.resolve(m_context.settings.saveFolder));
}

QString RecordWriter::freeBaseName(const QString &folder, const QString &baseName) const
{
    // Never overwrite an earlier record's file: number the name until it is free.
    QString candidate = baseName;
    for (int n = 2; exists(folder + candidate + kTextExtension); ++n)
        candidate = QStringLiteral("%1(%2)").arg(baseName).arg(n);
    return candidate;
}

bool RecordWriter::writeAndRecord(const QString &folder, const QString &baseName, const QString &text,
                                  Result &result)
{
    CurrentRecord &record = m_context.record;
    record.recFileName = freeBaseName(folder, baseName);
    const QString path = folder + record.recFileName + kTextExtension;
    QString error;
    if (!GbkTextFile::write(path, text, &error)) {
        result.error = QStringLiteral("无法写入文件“%1”：%2").arg(path, error);
        return false;
    }
    result.filePath = path;
    if (!m_context.store.addFileData(record, m_context.clock.today())) {
        result.error = QStringLiteral("文件已写入“%1”，但无法记入数据库：%2").arg(path, m_context.store.lastError());
        return false;
    }
    return true;
}

RecordWriter::Result RecordWriter::saveRecord(const QString &text, const QString &source)
{
    Result result;
    CurrentRecord &record = m_context.record;
    const QTime now = m_context.clock.now().time();

    QString title = TitleDerivation::titleFor(text, now);
    record.recFileName = title;
    record.recSize = QString::number(GbkTextFile::toCrLf(text).size());
    const QString folder = saveFolderPath();
    record.recFolder = folder;
    record.recSource = source;

    if (!QDir().mkpath(folder)) {
        result.error = QStringLiteral("无法建立存盘文件夹“%1”。").arg(folder);
        return result;
    }

    if (isPortableFileName(title)) {
        if (fileExist(folder + title + kTextExtension))
            title += TitleDerivation::minuteSecond(now);
        if (writeAndRecord(folder, title, text, result)) {
            openInChosenEditor(folder, record.recFileName, text);
            result.outcome = Outcome::Stored;
            return result;
        }
        // A database failure after the file was written is not a file-name problem.
        if (!result.filePath.isEmpty())
            return result;
    }

    // The name was refused: store under "新记录" + day of month, and leave the window as it is.
    const QString fallback = QStringLiteral("新记录") + QString::number(m_context.clock.today().day());
    result = Result{};
    if (writeAndRecord(folder, fallback, text, result))
        result.outcome = Outcome::StoredUnderFallbackName;
    return result;
}

void RecordWriter::openInChosenEditor(const QString &folder, const QString &baseName, const QString &text)
{
    const Settings &settings = m_context.settings;
    if (!EditorChoice::isAutoOpenOn(settings.autoOpenFlag))
        return;
    const QString textPath = folder + baseName + kTextExtension;
    if (EditorChoice::isBuiltIn(settings.editorChoice)) {
        if (m_openInEditor)
            m_openInEditor(textPath);
        return;
    }
    if (EditorChoice::isNotepad(settings.editorChoice))
        m_context.shell.open(textPath);
    const auto openRichCopy = [&](const QString &extension) {
        const QString copyPath = folder + baseName + extension;
        if (GbkTextFile::writeBytes(copyPath, RtfDocument::fromPlainText(text)))
            m_context.shell.open(copyPath);
    };
    if (EditorChoice::isWps(settings.editorChoice))
        openRichCopy(QStringLiteral(".wps"));
    if (EditorChoice::isWord(settings.editorChoice))
        openRichCopy(QStringLiteral(".doc"));
}
