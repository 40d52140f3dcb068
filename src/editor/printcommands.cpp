#include "editor/printcommands.h"

#include "editor/documentprinter.h"
#include "platform/dialogs.h"

#include <QTextDocumentFragment>
#include <QTextEdit>

PrintCommands::PrintCommands(QWidget &dialogParent, Dialogs &dialogs, PrinterSource printers)
    : m_dialogParent(dialogParent)
    , m_dialogs(dialogs)
    , m_printers(std::move(printers))
{
}

void PrintCommands::printWithDialog(const QTextEdit &edit)
{
    const QTextCursor cursor = edit.textCursor();
    const bool hasSelection = cursor.hasSelection();
    const std::unique_ptr<QPrinter> printer = m_printers.forDialog();
    if (!printer)
        return reportFailure(QStringLiteral("未知错误！"));
    if (hasSelection)
        printer->setPrintRange(QPrinter::Selection);
    if (!m_dialogs.print(&m_dialogParent, *printer, hasSelection))
        return;
    bool printed = false;
    if (printer->printRange() == QPrinter::Selection && hasSelection) {
        QTextDocument selection;
        selection.setDefaultFont(edit.document()->defaultFont());
        QTextCursor(&selection).insertFragment(cursor.selection());
        printed = DocumentPrinter::printFormatted(selection, *printer);
    } else {
        printed = DocumentPrinter::printFormatted(*edit.document(), *printer);
    }
    if (!printed)
        reportFailure(QStringLiteral("未知错误！"));
}

void PrintCommands::printDirect(const QTextEdit &edit)
{
    const std::unique_ptr<QPrinter> printer = m_printers.defaultPrinter();
    if (!printer)
        return reportFailure(QStringLiteral("没有安装打印机，无法打印！"));
    if (!DocumentPrinter::printPlain(edit.toPlainText(), edit.document()->defaultFont(), *printer))
        reportFailure(QStringLiteral("打印失败！"));
}

void PrintCommands::reportFailure(const QString &text)
{
    m_dialogs.message(&m_dialogParent, Dialogs::systemTitle(), text, Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}
