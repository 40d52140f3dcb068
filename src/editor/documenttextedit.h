#pragma once

#include <QTextEdit>
#include <functional>

class QKeySequence;

// A document's text area. Only plain text passes through its clipboard and drops, a key
// that belongs to a live frame command goes to the command, and its context menu opens
// when the right mouse button is released.
class DocumentTextEdit final : public QTextEdit
{
    Q_OBJECT

public:
    explicit DocumentTextEdit(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(DocumentTextEdit)

    // Tells whether the frame's enabled, visible command takes `key`.
    void setCommandKeyFilter(std::function<bool(const QKeySequence &)> commandTakesKey);

    // Removes the selection; the clipboard keeps what it holds.
    void deleteSelection();

Q_SIGNALS:
    void focusReceived();
    void editMenuRequested(const QPoint &globalPos);

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    std::function<bool(const QKeySequence &)> m_commandTakesKey;
};
