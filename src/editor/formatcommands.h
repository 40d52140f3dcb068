#pragma once

#include <QFont>

class Dialogs;
class QTextEdit;
class QWidget;

// The font and colour dialogs of the editor, applied to a text area's selection.
class FormatCommands final
{
public:
    FormatCommands(QWidget &dialogParent, Dialogs &dialogs);
    Q_DISABLE_COPY_MOVE(FormatCommands)

    // The font dialog starts from its own last choice, not from the selection.
    void setSelectionFont(QTextEdit &edit);
    // The colour dialog starts from the selection's colour, black when it is mixed.
    void setSelectionColor(QTextEdit &edit);

private:
    QWidget &m_dialogParent;
    Dialogs &m_dialogs;
    QFont m_lastFont;
};
