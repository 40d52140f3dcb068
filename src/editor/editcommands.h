#pragma once

#include "editor/textformatting.h"

#include <QFont>

class FrmMdi;
class RichEdit;

// Editing, formatting and printing of the frame's active document. Every command does
// nothing when no document window is open.
class EditCommands final
{
public:
    explicit EditCommands(FrmMdi &frame);
    Q_DISABLE_COPY_MOVE(EditCommands)

    // Only plain text passes through the clipboard.
    void cut();
    void copy();
    void paste();
    // Removes the selection; the clipboard keeps what it holds.
    void deleteSelection();
    void selectAll();

    // The font dialog starts from its own last choice, not from the selection.
    void setSelectionFont();
    // The colour dialog starts from the selection's colour, black when it is mixed.
    void setSelectionColor();
    void align(TextFormatting::Alignment alignment);

    // The print dialog (with the selection as range when there is one), then the
    // formatted text.
    void printWithDialog();
    // The plain text on the default printer, without a dialog.
    void printDirect();

private:
    RichEdit *activeEdit() const;
    void reportPrintFailure(const QString &text);

    FrmMdi &m_frame;
    QFont m_lastFont;
};
