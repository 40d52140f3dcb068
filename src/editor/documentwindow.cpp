#include "editor/documentwindow.h"

#include "common/gbktextfile.h"
#include "editor/documenttextedit.h"
#include "editor/textformatting.h"
#include "platform/dialogs.h"

#include <QCloseEvent>
#include <QDir>
#include <QVBoxLayout>

DocumentWindow::DocumentWindow(Dialogs &dialogs, const QString &filePath, QWidget *parent)
    : QWidget(parent)
    , m_dialogs(dialogs)
    , m_textEdit(new DocumentTextEdit(this))
    , m_filePath(filePath)
{
    setObjectName(QStringLiteral("documentWindow"));
    m_textEdit->setObjectName(QStringLiteral("textEdit"));
    m_textEdit->setFont(QFont(QStringLiteral("宋体"), 16));
    // The text area fills the window and keeps its size while the window is minimised.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_textEdit);

    connect(m_textEdit->document(), &QTextDocument::modificationChanged, this, &QWidget::setWindowModified);
    connect(m_textEdit, &DocumentTextEdit::focusReceived, this, &DocumentWindow::applyStandardIndents);
    applyStandardIndents();
    if (!m_filePath.isEmpty())
        loadFile();
}

void DocumentWindow::newFile(int number)
{
    setCaption(QStringLiteral("新记录") + QString::number(number));
    m_textEdit->document()->setModified(true);
}

void DocumentWindow::loadFile()
{
    setCaption(QDir::toNativeSeparators(m_filePath));
    const std::optional<QString> text = GbkTextFile::read(m_filePath);
    if (!text) {
        m_dialogs.message(parentWidget(), Dialogs::systemTitle(), QStringLiteral("打开文件失败！"),
                          Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        m_filePath.clear();
        return;
    }
    // The text goes into the indented paragraph, so every paragraph takes its indents.
    // Loading is not an edit the user can undo.
    QTextDocument *document = m_textEdit->document();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.insertText(*text);
    document->setUndoRedoEnabled(true);
    document->setModified(false);
    m_textEdit->moveCursor(QTextCursor::Start);
}

bool DocumentWindow::save()
{
    if (m_filePath.isEmpty())
        return saveAs();
    return writeFile(m_filePath);
}

bool DocumentWindow::saveAs()
{
    const std::optional<QString> chosen = m_dialogs.saveFileName(window(), QStringLiteral("  "), fileFilter());
    if (!chosen)
        return false;
    const QString path = QDir::toNativeSeparators(*chosen);
    if (!writeFile(path))
        return false;
    m_filePath = path;
    setCaption(path);
    Q_EMIT savedAs(path);
    return true;
}

bool DocumentWindow::writeFile(const QString &path)
{
    QString error;
    if (!GbkTextFile::write(path, plainText(), &error)) {
        m_dialogs.message(window(), Dialogs::systemTitle(), QStringLiteral("保存文件失败！\n") + error,
                          Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return false;
    }
    m_textEdit->document()->setModified(false);
    return true;
}

void DocumentWindow::setCaption(const QString &caption)
{
    m_caption = caption;
    // The title bar marks a changed document with "*".
    setWindowTitle(caption + QStringLiteral("[*]"));
}

bool DocumentWindow::isModified() const
{
    return m_textEdit->document()->isModified();
}

bool DocumentWindow::hasSelection() const
{
    return m_textEdit->textCursor().hasSelection();
}

int DocumentWindow::selectionLength() const
{
    const QTextCursor cursor = m_textEdit->textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

QString DocumentWindow::plainText() const
{
    return m_textEdit->toPlainText();
}

QString DocumentWindow::fileFilter()
{
    // Shown exactly so; the dialogs match its pattern without regard to case, so *.txt files show.
    return QStringLiteral("文本文件(*.TXT)");
}

void DocumentWindow::applyStandardIndents()
{
    // Giving the paragraph its indents is not an edit of the user's.
    QTextDocument *document = m_textEdit->document();
    const bool modified = document->isModified();
    TextFormatting::applyStandardIndents(m_textEdit->textCursor());
    document->setModified(modified);
}

bool DocumentWindow::maybeSave()
{
    if (!isModified())
        return true;
    const QString question = QStringLiteral("当前文档") + m_caption + QStringLiteral("尚未保存！是否保存？");
    const Dialogs::Answer answer = m_dialogs.message(window(), Dialogs::systemTitle(), question,
                                                     Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo);
    // A save the user cancels (or that fails) keeps the document open rather than losing it.
    return answer != Dialogs::Answer::Yes || save();
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}
