#include "editor/frmmdichild.h"

#include "common/gbktextfile.h"
#include "editor/editorstate.h"
#include "editor/frmmdi.h"
#include "editor/richedit.h"
#include "editor/textformatting.h"
#include "platform/dialogs.h"

#include <QCloseEvent>
#include <QDir>
#include <QVBoxLayout>

FrmMdiChild::FrmMdiChild(FrmMdi &frame, EditorState &state)
    : m_frame(frame)
    , m_state(state)
    , m_ricEdit(new RichEdit(this))
{
    setObjectName(QStringLiteral("frmMDIChild"));
    m_ricEdit->setObjectName(QStringLiteral("ricEdit"));
    m_ricEdit->setFont(QFont(QStringLiteral("宋体"), 16));
    // The text area fills the window and keeps its size while the window is minimised.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_ricEdit);

    m_ricEdit->setCommandKeyFilter([this](const QKeySequence &key) { return m_frame.commandTakesKey(key); });
    connect(m_ricEdit, &QTextEdit::cursorPositionChanged, this, &FrmMdiChild::ricEditSelChange);
    connect(m_ricEdit, &QTextEdit::selectionChanged, this, &FrmMdiChild::ricEditSelChange);
    connect(m_ricEdit, &RichEdit::gotFocus, this, &FrmMdiChild::ricEditGotFocus);
    connect(m_ricEdit, &RichEdit::contextMenuWanted, &m_frame, &FrmMdi::popupEditMenu);
    formLoad();
}

FrmMdiChild::~FrmMdiChild()
{
    m_ricEdit->disconnect(this);
    m_ricEdit->disconnect(&m_frame);
}

void FrmMdiChild::setTxtChange(const QString &marker)
{
    m_txtChange = marker;
    refreshChanged();
    m_frame.updateStatus();
}

void FrmMdiChild::setDocPath(const QString &path)
{
    m_docPath = path;
}

int FrmMdiChild::selectionLength() const
{
    const QTextCursor cursor = m_ricEdit->textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

QString FrmMdiChild::plainText() const
{
    return m_ricEdit->toPlainText();
}

void FrmMdiChild::formLoad()
{
    m_docPath.clear();
    ricEditSelChange();
    applyStandardIndents();
    refreshChanged();
    if (m_state.openMode == 0) {
        setWindowTitle(QStringLiteral("新记录") + QString::number(m_state.newDocNumber));
        return;
    }
    m_docPath = m_state.openFilePath;
    setWindowTitle(QDir::toNativeSeparators(m_docPath));
    const std::optional<QString> text = GbkTextFile::read(m_docPath);
    if (!text) {
        m_frame.dialogs().message(&m_frame, Dialogs::systemTitle(), QStringLiteral("打开文件失败！"),
                                  Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        m_docPath.clear();
        return;
    }
    // The text goes into the indented paragraph, so every paragraph takes its indents.
    // Loading is not an edit the user can undo.
    QTextDocument *document = m_ricEdit->document();
    document->setUndoRedoEnabled(false);
    m_formatting = true;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.insertText(*text);
    cursor.endEditBlock();
    m_formatting = false;
    document->setUndoRedoEnabled(true);
    m_ricEdit->moveCursor(QTextCursor::Start);
    m_docChanged = false;
}

void FrmMdiChild::ricEditSelChange()
{
    if (m_formatting)
        return;
    m_txtChange = QStringLiteral("1");
    refreshChanged();
    m_frame.updateEditCommands(selectionLength());
    m_frame.updateStatus();
}

void FrmMdiChild::ricEditGotFocus()
{
    refreshChanged();
    m_state.activeDocPath = m_docPath;
    applyStandardIndents();
    m_frame.updateEditCommands(selectionLength());
    m_frame.updateStatus();
}

void FrmMdiChild::refreshChanged()
{
    m_docChanged = m_txtChange != QStringLiteral("0");
}

void FrmMdiChild::applyStandardIndents()
{
    // Formatting the paragraph is not a selection change of the user's.
    m_formatting = true;
    TextFormatting::applyStandardIndents(m_ricEdit->textCursor());
    m_formatting = false;
}

void FrmMdiChild::closeEvent(QCloseEvent *event)
{
    refreshChanged();
    if (m_docChanged) {
        const QString question = QStringLiteral("当前文档") + caption() + QStringLiteral("尚未保存！是否保存？");
        const Dialogs::Answer answer = m_frame.dialogs().message(&m_frame, Dialogs::systemTitle(), question,
                                                                 Dialogs::Icon::Exclamation,
                                                                 Dialogs::Buttons::YesNo);
        // A save the user cancels (or that fails) keeps the document open rather than losing it.
        if (answer == Dialogs::Answer::Yes && !m_frame.saveWindow(*this)) {
            event->ignore();
            return;
        }
        m_docChanged = false;
    }
    --m_state.docCount;
    event->accept();
}
