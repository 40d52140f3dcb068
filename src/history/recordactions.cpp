#include "history/recordactions.h"

#include "capture/rtfdocument.h"
#include "common/gbktextfile.h"
#include "history/recordgridmodel.h"
#include "history/textfragment.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopenprompt.h"
#include "platform/shellopener.h"
#include "settings/editorchoice.h"
#include "common/readablefile.h"
#include "settings/settings.h"
#include "store/recordstore.h"

namespace {

bool hasTextExtension(const QString &path)
{
    return path.endsWith(QStringLiteral(".txt")) || path.endsWith(QStringLiteral(".TXT"));
}

} // namespace

RecordActions::RecordActions(Context context)
    : m_context(std::move(context))
{
}

QString RecordActions::filePath(const QString &folder, const QString &name)
{
    const QString path = folder + name;
    return hasTextExtension(path) ? path : path + QStringLiteral(".txt");
}

QString RecordActions::convertedPath(const QString &path, int dayOfMonth, const QString &extension)
{
    return path.chopped(std::min<qsizetype>(4, path.size())) + QString::number(dayOfMonth) + extension;
}

RecordActions::OpenOutcome RecordActions::openFile(const RecordGridModel &model, int gridRow, QWidget *parent)
{
    const QString choice = m_context.settings.editorChoice;
    const QString folder = model.cellText(gridRow, RecordGridModel::Folder);
    const QString name = model.cellText(gridRow, RecordGridModel::FileName);
    const QString path = filePath(folder, name);
    m_context.findFileName = hasTextExtension(folder + name) ? name : name + QStringLiteral(".txt");

    if (!isReadableFile(path)) {
        const auto answer = m_context.dialogs.message(
            parent, Dialogs::systemTitle(),
            QStringLiteral("打开文件出错,可能是该文件已经被移走....是否现在查找？"), Dialogs::Icon::Critical,
            Dialogs::Buttons::YesNo);
        if (answer != Dialogs::Answer::Yes)
            return OpenOutcome::MissingDeclined;
        if (m_context.showFinder)
            m_context.showFinder();
        return OpenOutcome::FinderShown;
    }

    if (EditorChoice::isBuiltIn(choice)) {
        if (!m_context.openInEditor)
            return OpenOutcome::NotOpened;
        m_context.openInEditor(path);
        return OpenOutcome::InEditor;
    }
    if (EditorChoice::isNotepad(choice)) {
        m_context.shell.open(path);
        return OpenOutcome::WithShell;
    }
    QString extension;
    if (EditorChoice::isWps(choice))
        extension = QStringLiteral(".wps");
    else if (EditorChoice::isWord(choice))
        extension = QStringLiteral(".doc");
    else
        return OpenOutcome::NotOpened;
    return convertAndOpen(path, extension, parent) ? OpenOutcome::Converted : OpenOutcome::Failed;
}

// Writes an RTF copy of the record's text beside it and opens the copy. The capture window
// is left alone: the copy is made straight from the file.
bool RecordActions::convertAndOpen(const QString &path, const QString &extension, QWidget *parent)
{
    QString error;
    const std::optional<QString> text = GbkTextFile::read(path, &error);
    const QString target = convertedPath(path, m_context.clock.today().day(), extension);
    if (!text || !GbkTextFile::writeBytes(target, RtfDocument::fromPlainText(*text), &error)) {
        m_context.dialogs.message(parent, Dialogs::systemTitle(),
                                  QStringLiteral("打开文件失败！\n") + error, Dialogs::Icon::Critical,
                                  Dialogs::Buttons::Ok);
        return false;
    }
    m_context.shell.open(target);
    return true;
}

void RecordActions::openSource(const RecordGridModel &model, int gridRow, QWidget *parent)
{
    const QString source = model.cellText(gridRow, RecordGridModel::Source);
    if (!source.isEmpty())
        openThroughShell(sourceAtQuote(model, gridRow, source), m_context.shell, m_context.dialogs, parent);
}

// A web source with a text fragment for the record's text, so the browser shows the quote.
// The source as stored when the file cannot be read.
QString RecordActions::sourceAtQuote(const RecordGridModel &model, int gridRow, const QString &source)
{
    if (!TextFragment::appliesTo(source))
        return source;
    const std::optional<QString> text = GbkTextFile::read(
        filePath(model.cellText(gridRow, RecordGridModel::Folder), model.cellText(gridRow, RecordGridModel::FileName)));
    return text ? TextFragment::addressAt(source, *text) : source;
}

void RecordActions::deleteRows(RecordGridModel &model, const QList<int> &gridRows, QWidget *parent,
                               const std::function<void()> &declined)
{
    for (const int row : gridRows) {
        const std::optional<Record> record = model.recordAt(row);
        if (!record)
            continue;
        const auto answer = m_context.dialogs.message(
            parent, Dialogs::systemTitle(), QStringLiteral("真的要删除《") + record->fileName + QStringLiteral("》吗？"),
            Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo);
        if (answer != Dialogs::Answer::Yes) {
            if (declined)
                declined();
            continue;
        }
        // The chosen row's own record goes, not the first record of the same name.
        if (!m_context.store.removeRecord(record->rowId)) {
            m_context.dialogs.message(parent, Dialogs::systemTitle(), m_context.store.lastError(),
                                      Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
            return;
        }
        model.blankRow(row);
    }
}
