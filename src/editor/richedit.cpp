#include "editor/richedit.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocumentFragment>

RichEdit::RichEdit(QWidget *parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
}

void RichEdit::setCommandKeyFilter(std::function<bool(const QKeySequence &)> commandTakesKey)
{
    m_commandTakesKey = std::move(commandTakesKey);
}

bool RichEdit::event(QEvent *event)
{
    // Left unaccepted, the override lets the frame's shortcut run instead of the text
    // area's own handling of the same key.
    if (event->type() == QEvent::ShortcutOverride && m_commandTakesKey) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (m_commandTakesKey(QKeySequence(key->keyCombination()))) {
            event->ignore();
            return true;
        }
    }
    return QTextEdit::event(event);
}

void RichEdit::focusInEvent(QFocusEvent *event)
{
    QTextEdit::focusInEvent(event);
    Q_EMIT gotFocus();
}

void RichEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        Q_EMIT contextMenuWanted(event->globalPosition().toPoint());
}

void RichEdit::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    // The mouse's menu opens on release; the keyboard's opens at the caret.
    if (event->reason() != QContextMenuEvent::Mouse)
        Q_EMIT contextMenuWanted(viewport()->mapToGlobal(cursorRect().bottomLeft()));
}

QMimeData *RichEdit::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    data->setText(textCursor().selection().toPlainText());
    return data;
}

bool RichEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText();
}

void RichEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText())
        return;
    // Plain text takes the format at the insertion point.
    QTextCursor cursor = textCursor();
    cursor.insertText(source->text());
    setTextCursor(cursor);
}
