#pragma once

#include <QList>
#include <QStatusBar>

class DocumentWindow;
class QDate;
class QLabel;

// The editor frame's status bar: the active document's caption, line, column, character
// count and modified state, and today's date, in six panels of equal width.
class EditorStatusBar final : public QStatusBar
{
    Q_OBJECT

public:
    explicit EditorStatusBar(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(EditorStatusBar)

    // Clears the document panels when `document` is nullptr.
    void showDocument(const DocumentWindow *document, const QDate &today);

private:
    QLabel *m_captionLabel = nullptr;
    QLabel *m_lineLabel = nullptr;
    QLabel *m_columnLabel = nullptr;
    QLabel *m_characterCountLabel = nullptr;
    QLabel *m_modifiedLabel = nullptr;
    QLabel *m_dateLabel = nullptr;
};
