#include "editor/editorstatusbar.h"

#include "editor/documenttextedit.h"
#include "editor/documentwindow.h"

#include <QDate>
#include <QLabel>

EditorStatusBar::EditorStatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("statusBar"));
    const auto addPanel = [this](const char *name) {
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        addWidget(label, 1);
        return label;
    };
    m_captionLabel = addPanel("captionLabel");
    m_lineLabel = addPanel("lineLabel");
    m_columnLabel = addPanel("columnLabel");
    m_characterCountLabel = addPanel("characterCountLabel");
    m_modifiedLabel = addPanel("modifiedLabel");
    m_dateLabel = addPanel("dateLabel");
}

void EditorStatusBar::showDocument(const DocumentWindow *document, const QDate &today)
{
    if (!document) {
        for (QLabel *label : {m_captionLabel, m_lineLabel, m_columnLabel, m_characterCountLabel, m_modifiedLabel})
            label->clear();
    } else {
        const QTextCursor cursor = document->textEdit()->textCursor();
        m_captionLabel->setText(document->caption());
        m_lineLabel->setText(QStringLiteral("行 %1").arg(cursor.blockNumber() + 1));
        m_columnLabel->setText(QStringLiteral("列 %1").arg(cursor.positionInBlock() + 1));
        m_characterCountLabel->setText(
            QStringLiteral("字数 %1").arg(document->textEdit()->document()->characterCount() - 1));
        m_modifiedLabel->setText(document->isModified() ? QStringLiteral("已修改") : QStringLiteral("未修改"));
    }
    m_dateLabel->setText(today.toString(QStringLiteral("yyyy-MM-dd")));
}
