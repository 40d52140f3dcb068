#include "editor/editcommands.h"

#include "editor/documentprinter.h"
#include "editor/frmmdi.h"
#include "editor/frmmdichild.h"
#include "editor/richedit.h"
#include "platform/dialogs.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextDocumentFragment>
#include <memory>

EditCommands::EditCommands(FrmMdi &frame)
    : m_frame(frame)
    , m_lastFont(QStringLiteral("宋体"), 16)
{
}

RichEdit *EditCommands::activeEdit() const
{
    FrmMdiChild *document = m_frame.activeDocument();
    return document ? document->ricEdit() : nullptr;
}

void EditCommands::cut()
{
    RichEdit *edit = activeEdit();
    if (!edit || !edit->textCursor().hasSelection())
        return;
    copy();
    deleteSelection();
}

void EditCommands::copy()
{
    RichEdit *edit = activeEdit();
    if (!edit || !edit->textCursor().hasSelection())
        return;
    QGuiApplication::clipboard()->setText(edit->textCursor().selection().toPlainText());
}

void EditCommands::paste()
{
    RichEdit *edit = activeEdit();
    if (!edit)
        return;
    const QString text = QGuiApplication::clipboard()->text();
    // An empty clipboard leaves the selection alone rather than deleting it.
    if (text.isEmpty())
        return;
    QTextCursor cursor = edit->textCursor();
    cursor.insertText(text);
    edit->setTextCursor(cursor);
}

void EditCommands::deleteSelection()
{
    RichEdit *edit = activeEdit();
    if (!edit)
        return;
    QTextCursor cursor = edit->textCursor();
    cursor.removeSelectedText();
    edit->setTextCursor(cursor);
}

void EditCommands::selectAll()
{
    if (RichEdit *edit = activeEdit())
        edit->selectAll();
}

void EditCommands::setSelectionFont()
{
    RichEdit *edit = activeEdit();
    if (!edit)
        return;
    const std::optional<QFont> chosen = m_frame.dialogs().font(&m_frame, m_lastFont);
    if (!chosen)
        return;
    m_lastFont = *chosen;
    edit->mergeCurrentCharFormat(TextFormatting::fontFormat(*chosen));
}

void EditCommands::setSelectionColor()
{
    RichEdit *edit = activeEdit();
    if (!edit)
        return;
    const QColor initial = TextFormatting::selectionColor(edit->textCursor());
    const std::optional<QColor> chosen = m_frame.dialogs().color(&m_frame, initial);
    if (!chosen)
        return;
    QTextCharFormat format;
    format.setForeground(*chosen);
    edit->mergeCurrentCharFormat(format);
}

void EditCommands::align(TextFormatting::Alignment alignment)
{
    if (RichEdit *edit = activeEdit())
        TextFormatting::align(edit->textCursor(), alignment);
}

void EditCommands::printWithDialog()
{
    RichEdit *edit = activeEdit();
    if (!edit)
        return;
    const QTextCursor cursor = edit->textCursor();
    const bool hasSelection = cursor.hasSelection();
    const std::unique_ptr<QPrinter> printer = m_frame.services().printers.forDialog();
    if (!printer)
        return reportPrintFailure(QStringLiteral("未知错误！"));
    if (hasSelection)
        printer->setPrintRange(QPrinter::Selection);
    if (!m_frame.dialogs().print(&m_frame, *printer, hasSelection))
        return;
    bool printed = false;
    if (printer->printRange() == QPrinter::Selection && hasSelection) {
        QTextDocument selection;
        selection.setDefaultFont(edit->document()->defaultFont());
        QTextCursor(&selection).insertFragment(cursor.selection());
        printed = DocumentPrinter::printFormatted(selection, *printer);
    } else {
        printed = DocumentPrinter::printFormatted(*edit->document(), *printer);
    }
    if (!printed)
        reportPrintFailure(QStringLiteral("未知错误！"));
}

void EditCommands::printDirect()
{
    FrmMdiChild *document = m_frame.activeDocument();
    if (!document)
        return;
    const std::unique_ptr<QPrinter> printer = m_frame.services().printers.defaultPrinter();
    if (!printer)
        return reportPrintFailure(QStringLiteral("没有安装打印机，无法打印！"));
    if (!DocumentPrinter::printPlain(document->plainText(), document->ricEdit()->document()->defaultFont(), *printer))
        reportPrintFailure(QStringLiteral("打印失败！"));
}

void EditCommands::reportPrintFailure(const QString &text)
{
    m_frame.dialogs().message(&m_frame, Dialogs::systemTitle(), text, Dialogs::Icon::Critical,
                              Dialogs::Buttons::Ok);
}
