#include "history/recordactions.h"

#include "common/gbktextfile.h"
#include "common/readablefile.h"
#include "history/recordgridmodel.h"
#include "history/textfragment.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopenprompt.h"
#include "platform/shellopener.h"
#include "settings/choseneditor.h"
#include "settings/settings.h"
#include "store/record.h"
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
    return recordFilePath(folder, name);
}

QString RecordActions::convertedPath(const QString &path, int dayOfMonth, const QString &extension)
{
    return ChosenEditor::richCopyPath(path, QString::number(dayOfMonth), extension);
}

RecordActions::OpenOutcome RecordActions::openFile(const RecordGridModel &model, int gridRow, QWidget *parent)
{
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

    // A record's file is opened as it is stored, without the program check that sources get.
    ShellOpener &shell = m_context.shell;
    const ChosenEditor editor(m_context.settings.editor, m_context.openInEditor,
                              [&shell](const QString &target) { return shell.open(target); });
    QString error;
    switch (editor.openRecord(path, QString::number(m_context.clock.today().day()), std::nullopt, &error)) {
    case ChosenEditor::Outcome::InEditor:
        return OpenOutcome::InEditor;
    case ChosenEditor::Outcome::WithShell:
        return OpenOutcome::WithShell;
    case ChosenEditor::Outcome::Converted:
        return OpenOutcome::Converted;
    case ChosenEditor::Outcome::NotOpened:
        error = QStringLiteral("内置编辑器无法使用。");
        break;
    case ChosenEditor::Outcome::Failed:
        break;
    }
    m_context.dialogs.message(parent, Dialogs::systemTitle(), QStringLiteral("打开文件失败！\n") + error,
                              Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    return OpenOutcome::Failed;
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
