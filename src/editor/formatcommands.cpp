#include "editor/formatcommands.h"

#include "editor/textformatting.h"
#include "platform/dialogs.h"

#include <QTextEdit>

FormatCommands::FormatCommands(QWidget &dialogParent, Dialogs &dialogs)
    : m_dialogParent(dialogParent)
    , m_dialogs(dialogs)
    , m_lastFont(QStringLiteral("宋体"), 16)
{
}

void FormatCommands::setSelectionFont(QTextEdit &edit)
{
    const std::optional<QFont> chosen = m_dialogs.font(&m_dialogParent, m_lastFont);
    if (!chosen)
        return;
    m_lastFont = *chosen;
    edit.mergeCurrentCharFormat(TextFormatting::fontFormat(*chosen));
}

void FormatCommands::setSelectionColor(QTextEdit &edit)
{
    const QColor initial = TextFormatting::selectionColor(edit.textCursor());
    const std::optional<QColor> chosen = m_dialogs.color(&m_dialogParent, initial);
    if (!chosen)
        return;
    QTextCharFormat format;
    format.setForeground(*chosen);
    edit.mergeCurrentCharFormat(format);
}
