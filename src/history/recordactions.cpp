#include "history/recordactions.h"

#include "common/gbktextfile.h"
#include "common/readablefile.h"
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

// A web source with a text fragment for the record's text, so the browser shows the quote.
// The source as stored when the file cannot be read.
QString sourceAtQuote(const Record &record)
{
    if (!TextFragment::appliesTo(record.source))
        return record.source;
    const std::optional<QString> text = GbkTextFile::read(recordFilePath(record.folder, record.fileName));
    return text ? TextFragment::addressAt(record.source, *text) : record.source;
}

} // namespace

RecordActions::RecordActions(Services services)
    : m_services(std::move(services))
{
}

RecordActions::OpenOutcome RecordActions::openFile(const Record &record, QWidget *parent)
{
    const QString path = recordFilePath(record.folder, record.fileName);
    if (!isReadableFile(path)) {
        const auto answer = m_services.dialogs.message(
            parent, Dialogs::systemTitle(),
            QStringLiteral("打开文件出错,可能是该文件已经被移走....是否现在查找？"), Dialogs::Icon::Critical,
            Dialogs::Buttons::YesNo);
        if (answer != Dialogs::Answer::Yes)
            return OpenOutcome::MissingDeclined;
        // The finder looks for the file's own name, with the extension the path got.
        if (m_services.showFinder)
            m_services.showFinder(path.mid(record.folder.size()));
        return OpenOutcome::FinderShown;
    }

    // A record's file is opened as it is stored, without the program check that sources get.
    ShellOpener &shell = m_services.shell;
    const ChosenEditor editor(m_services.settings.editor, m_services.openInEditor,
                              [&shell](const QString &target) { return shell.open(target); });
    QString error;
    switch (editor.openRecord(path, QString::number(m_services.clock.today().day()), std::nullopt, &error)) {
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
    m_services.dialogs.message(parent, Dialogs::systemTitle(), QStringLiteral("打开文件失败！\n") + error,
                               Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    return OpenOutcome::Failed;
}

void RecordActions::openSource(const Record &record, QWidget *parent)
{
    if (!record.source.isEmpty())
        openThroughShell(sourceAtQuote(record), m_services.shell, m_services.dialogs, parent);
}

RecordActions::DeleteOutcome RecordActions::deleteRecord(const Record &record, QWidget *parent)
{
    const auto answer = m_services.dialogs.message(
        parent, Dialogs::systemTitle(), QStringLiteral("真的要删除《") + record.fileName + QStringLiteral("》吗？"),
        Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo);
    if (answer != Dialogs::Answer::Yes)
        return DeleteOutcome::Declined;
    // The chosen row's own record goes, not the first record of the same name.
    if (!m_services.store.removeRecord(record.rowId)) {
        m_services.dialogs.message(parent, Dialogs::systemTitle(), m_services.store.lastError(),
                                   Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return DeleteOutcome::Failed;
    }
    return DeleteOutcome::Deleted;
}
