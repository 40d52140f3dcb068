#pragma once

#include "editor/printersource.h"

class Dialogs;
class QString;
class QTextEdit;
class QWidget;

// The editor's two ways to print a text area; failures are reported through the dialogs.
class PrintCommands final
{
public:
    PrintCommands(QWidget &dialogParent, Dialogs &dialogs, PrinterSource printers);
    Q_DISABLE_COPY_MOVE(PrintCommands)

    void setPrinterSource(PrinterSource printers) { m_printers = std::move(printers); }

    // The print dialog (with the selection as range when there is one), then the
    // formatted text.
    void printWithDialog(const QTextEdit &edit);
    // The plain text on the default printer, without a dialog.
    void printDirect(const QTextEdit &edit);

private:
    void reportFailure(const QString &text);

    QWidget &m_dialogParent;
    Dialogs &m_dialogs;
    PrinterSource m_printers;
};
