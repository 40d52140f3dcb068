#include "editor/documenttextedit.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocumentFragment>

DocumentTextEdit::DocumentTextEdit(QWidget *parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
}

void DocumentTextEdit::setCommandKeyFilter(std::function<bool(const QKeySequence &)> commandTakesKey)
{
    m_commandTakesKey = std::move(commandTakesKey);
}

void DocumentTextEdit::deleteSelection()
{
    QTextCursor cursor = textCursor();
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

bool DocumentTextEdit::event(QEvent *event)
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

void DocumentTextEdit::focusInEvent(QFocusEvent *event)
{
    QTextEdit::focusInEvent(event);
    Q_EMIT focusReceived();
}

void DocumentTextEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        Q_EMIT editMenuRequested(event->globalPosition().toPoint());
}

void DocumentTextEdit::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    // The mouse's menu opens on release; the keyboard's opens at the caret.
    if (event->reason() != QContextMenuEvent::Mouse)
        Q_EMIT editMenuRequested(viewport()->mapToGlobal(cursorRect().bottomLeft()));
}

QMimeData *DocumentTextEdit::createMimeDataFromSelection() const
{
    auto *mime = new QMimeData;
    mime->setText(textCursor().selection().toPlainText());
    return mime;
}

bool DocumentTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText();
}

void DocumentTextEdit::insertFromMimeData(const QMimeData *source)
{
    // Empty text leaves the selection alone rather than deleting it.
    if (!source->hasText() || source->text().isEmpty())
        return;
    // Plain text takes the format at the insertion point.
    QTextCursor cursor = textCursor();
    cursor.insertText(source->text());
    setTextCursor(cursor);
}
