#include "editor/editorwindow.h"

#include "editor/documenttextedit.h"
#include "editor/documentwindow.h"
#include "editor/editorstatusbar.h"
#include "editor/textformatting.h"
#include "editor/toolbaricons.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

// At most 32767 documents are open, and 32767 is the last new document's number.
constexpr qsizetype kMostDocuments = 32767;

bool canRaise(qsizetype counter)
{
    return counter < kMostDocuments;
}

// The geometry a document window was given when it opened, while the user has not changed it.
constexpr char kPlacedGeometry[] = "placedGeometry";

} // namespace

EditorWindow::EditorWindow(EditorServices services, PrinterSource printers)
    : m_services(services)
    , m_formatCommands(*this, m_services.dialogs)
    , m_printCommands(*this, m_services.dialogs, std::move(printers))
    , m_mdiArea(new QMdiArea(this))
    , m_statusBar(new EditorStatusBar(this))
{
    setObjectName(QStringLiteral("editorWindow"));
    setWindowTitle(QStringLiteral("Notavo"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdiArea);
    m_mdiArea->viewport()->installEventFilter(this);
    setStatusBar(m_statusBar);

    m_actions.create(*this);
    // The toolbar's buttons carry no tooltips.
    for (QAction *button : m_actions.toolBar->actions())
        m_actions.toolBar->widgetForAction(button)->installEventFilter(this);
    connectFileActions();
    connectEditActions();
    connectWindowActions();

    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &EditorWindow::updateActions);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &EditorWindow::updateActions);
    setWindowState(Qt::WindowMaximized);
    updateActions();
}

EditorWindow::~EditorWindow()
{
    // The documents go while the frame is still whole: taking the windows down must not
    // call back into a half-destroyed frame.
    m_mdiArea->disconnect(this);
    QGuiApplication::clipboard()->disconnect(this);
    qDeleteAll(m_mdiArea->subWindowList());
}

void EditorWindow::connectFileActions()
{
    connect(m_actions.newAction, &QAction::triggered, this, &EditorWindow::newDocument);
    connect(m_actions.newButton, &QAction::triggered, this, &EditorWindow::newDocument);
    connect(m_actions.openAction, &QAction::triggered, this, &EditorWindow::openDocument);
    connect(m_actions.openButton, &QAction::triggered, this, &EditorWindow::openDocument);
    connect(m_actions.closeAction, &QAction::triggered, this, [this] {
        if (QMdiSubWindow *window = m_mdiArea->currentSubWindow())
            window->close();
    });
    const auto save = [this] {
        if (DocumentWindow *document = activeDocument())
            document->save();
    };
    connect(m_actions.saveAction, &QAction::triggered, this, save);
    connect(m_actions.saveButton, &QAction::triggered, this, save);
    connect(m_actions.saveAsAction, &QAction::triggered, this, [this] {
        if (DocumentWindow *document = activeDocument())
            document->saveAs();
    });
    connect(m_actions.printAction, &QAction::triggered, this, [this] {
        if (DocumentTextEdit *edit = activeTextEdit())
            m_printCommands.printDirect(*edit);
    });
    connect(m_actions.printButton, &QAction::triggered, this, [this] {
        if (DocumentTextEdit *edit = activeTextEdit())
            m_printCommands.printWithDialog(*edit);
    });
    connect(m_actions.quitAction, &QAction::triggered, this, &EditorWindow::quit);
}

void EditorWindow::connectEditActions()
{
    // Each command does nothing when no document is open.
    const auto onEdit = [this](QAction *action, auto command) {
        connect(action, &QAction::triggered, this, [this, command] {
            if (DocumentTextEdit *edit = activeTextEdit())
                command(*edit);
        });
    };
    using Alignment = TextFormatting::Alignment;
    for (QAction *action : {m_actions.cutAction, m_actions.cutButton})
        onEdit(action, [](DocumentTextEdit &edit) { edit.cut(); });
    for (QAction *action : {m_actions.copyAction, m_actions.copyButton})
        onEdit(action, [](DocumentTextEdit &edit) { edit.copy(); });
    for (QAction *action : {m_actions.pasteAction, m_actions.pasteButton})
        onEdit(action, [](DocumentTextEdit &edit) { edit.paste(); });
    onEdit(m_actions.deleteAction, [](DocumentTextEdit &edit) { edit.deleteSelection(); });
    onEdit(m_actions.selectAllAction, [](DocumentTextEdit &edit) { edit.selectAll(); });
    const std::pair<QAction *, Alignment> alignments[] = {
        {m_actions.alignLeftButton, Alignment::Left},
        {m_actions.centerButton, Alignment::Centre},
        {m_actions.alignRightButton, Alignment::Right},
        {m_actions.indentedLeftButton, Alignment::LeftWithIndents},
    };
    for (const auto &[action, alignment] : alignments)
        onEdit(action, [alignment](DocumentTextEdit &edit) { TextFormatting::align(edit.textCursor(), alignment); });
    for (QAction *action : {m_actions.fontAction, m_actions.fontButton})
        onEdit(action, [this](DocumentTextEdit &edit) { m_formatCommands.setSelectionFont(edit); });
    for (QAction *action : {m_actions.colorAction, m_actions.colorButton})
        onEdit(action, [this](DocumentTextEdit &edit) { m_formatCommands.setSelectionColor(edit); });
}

void EditorWindow::connectWindowActions()
{
    connect(m_actions.tileHorizontallyAction, &QAction::triggered, this, [this] { tile(Qt::Horizontal); });
    connect(m_actions.tileVerticallyAction, &QAction::triggered, this, [this] { tile(Qt::Vertical); });
    connect(m_actions.cascadeAction, &QAction::triggered, m_mdiArea, &QMdiArea::cascadeSubWindows);
    connect(m_actions.windowMenu, &QMenu::aboutToShow, this, &EditorWindow::fillWindowMenu);
    connect(m_actions.historyAction, &QAction::triggered, this, &EditorWindow::historyRequested);
    connect(m_actions.helpTopicsAction, &QAction::triggered, this, &EditorWindow::helpRequested);
    connect(m_actions.aboutAction, &QAction::triggered, this, &EditorWindow::aboutRequested);
}

void EditorWindow::updateActions()
{
    const DocumentWindow *document = activeDocument();
    const bool open = document != nullptr;
    for (QAction *item : m_actions.documentItems())
        item->setVisible(open);
    for (QAction *button : m_actions.documentButtons())
        button->setEnabled(open);
    const bool selected = open && document->hasSelection();
    for (QAction *action : {m_actions.cutAction, m_actions.copyAction, m_actions.deleteAction, m_actions.cutButton,
                            m_actions.copyButton})
        action->setEnabled(selected);
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const bool pasteable = open && clipboard && !clipboard->text().isEmpty();
    m_actions.pasteAction->setEnabled(pasteable);
    m_actions.pasteButton->setEnabled(pasteable);
    updateStatusBar();
}

void EditorWindow::updateStatusBar()
{
    m_statusBar->showDocument(activeDocument(), m_services.clock.today());
}

DocumentWindow *EditorWindow::activeDocument() const
{
    QMdiSubWindow *window = m_mdiArea->currentSubWindow();
    return window ? qobject_cast<DocumentWindow *>(window->widget()) : nullptr;
}

DocumentTextEdit *EditorWindow::activeTextEdit() const
{
    const DocumentWindow *document = activeDocument();
    return document ? document->textEdit() : nullptr;
}

QList<DocumentWindow *> EditorWindow::documents() const
{
    QList<DocumentWindow *> result;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList())
        if (auto *document = qobject_cast<DocumentWindow *>(window->widget()))
            result.append(document);
    return result;
}

DocumentWindow *EditorWindow::newDocument()
{
    if (!canRaise(m_mdiArea->subWindowList().size()) || !canRaise(m_newDocumentNumber))
        return nullptr;
    auto *document = new DocumentWindow(m_services.dialogs, QString(), this);
    document->newFile(++m_newDocumentNumber);
    return addDocument(document);
}

void EditorWindow::openDocument()
{
    if (!canRaise(m_mdiArea->subWindowList().size()))
        return;
    const std::optional<QString> path =
        m_services.dialogs.openFileName(this, QStringLiteral("打开"), DocumentWindow::fileFilter(),
                                        m_services.openFolder ? m_services.openFolder() : QString());
    if (path)
        openFile(QDir::toNativeSeparators(*path));
}

DocumentWindow *EditorWindow::openFile(const QString &path)
{
    if (!canRaise(m_mdiArea->subWindowList().size()))
        return nullptr;
    return addDocument(new DocumentWindow(m_services.dialogs, path, this));
}

DocumentWindow *EditorWindow::addDocument(DocumentWindow *document)
{
    DocumentTextEdit *edit = document->textEdit();
    edit->setCommandKeyFilter([this](const QKeySequence &key) { return commandTakesKey(key); });
    connect(edit, &QTextEdit::copyAvailable, this, &EditorWindow::updateActions);
    connect(edit, &QTextEdit::cursorPositionChanged, this, &EditorWindow::updateStatusBar);
    connect(edit->document(), &QTextDocument::modificationChanged, this, &EditorWindow::updateActions);
    connect(edit, &DocumentTextEdit::editMenuRequested, m_actions.editMenu,
            [this](const QPoint &globalPos) { m_actions.editMenu->popup(globalPos); });
    connect(document, &DocumentWindow::savedAs, this, [this, document](const QString &path) {
        Q_EMIT documentSavedAs(path, document->plainText());
        updateStatusBar();
    });

    // The frame shows first, so that the new window is placed in the workspace it will have.
    showFrame();
    QMdiSubWindow *window = m_mdiArea->addSubWindow(document);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(ToolbarIcons::icon(ToolbarIcons::Picture::BlankPage));
    placeNewWindow(window);
    window->show();
    m_mdiArea->setActiveSubWindow(window);
    edit->setFocus();
    return document;
}

void EditorWindow::placeNewWindow(QMdiSubWindow *window)
{
    // Three quarters of the workspace, one title bar's height down and right from the last
    // window, back at the top left corner when that would leave the workspace.
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    const QSize area = m_mdiArea->viewport()->size();
    const QSize size(area.width() * 3 / 4, area.height() * 3 / 4);
    QPoint position;
    if (windows.size() > 1) {
        const QMdiSubWindow *last = windows[windows.size() - 2];
        const int step = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
        if (!last->isMaximized() && !last->isMinimized())
            position = last->pos() + QPoint(step, step);
        if (position.x() + size.width() > area.width() || position.y() + size.height() > area.height())
            position = QPoint();
    }
    window->setGeometry(QRect(position, size));
    window->setProperty(kPlacedGeometry, window->geometry());
}

void EditorWindow::followWorkspaceSize()
{
    // A window the user has not moved or resized keeps three quarters of the workspace when the
    // workspace itself changes size, as when the window manager maximises the frame after the
    // first document opened.
    const QSize area = m_mdiArea->viewport()->size();
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (window->isMaximized() || window->isMinimized() || window->geometry() != window->property(kPlacedGeometry).toRect())
            continue;
        window->resize(area.width() * 3 / 4, area.height() * 3 / 4);
        window->setProperty(kPlacedGeometry, window->geometry());
    }
}

void EditorWindow::tile(Qt::Orientation orientation)
{
    // Horizontal tiling stacks the windows one above the other, each as wide as the
    // workspace; vertical tiling sets them side by side.
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList())
        if (!window->isMinimized())
            windows.append(window);
    if (windows.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int count = int(windows.size());
    for (int index = 0; index < count; ++index) {
        QMdiSubWindow *window = windows[index];
        if (window->isMaximized())
            window->showNormal();
        if (orientation == Qt::Horizontal) {
            const int top = area.height() * index / count;
            window->setGeometry(0, top, area.width(), area.height() * (index + 1) / count - top);
        } else {
            const int left = area.width() * index / count;
            window->setGeometry(left, 0, area.width() * (index + 1) / count - left, area.height());
        }
    }
}

void EditorWindow::fillWindowMenu()
{
    qDeleteAll(m_windowListItems);
    m_windowListItems.clear();
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    QMenu *menu = m_actions.windowMenu;
    m_windowListItems.append(menu->addSeparator());
    int number = 1;
    for (QMdiSubWindow *window : windows) {
        const auto *document = qobject_cast<DocumentWindow *>(window->widget());
        const QString caption = document ? document->caption() : window->windowTitle();
        QAction *item = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(caption));
        item->setCheckable(true);
        item->setChecked(window == m_mdiArea->currentSubWindow());
        connect(item, &QAction::triggered, this, [this, window] { m_mdiArea->setActiveSubWindow(window); });
        m_windowListItems.append(item);
    }
}

bool EditorWindow::commandTakesKey(const QKeySequence &key) const
{
    for (const QMenu *menu : m_actions.menus()) {
        if (!menu->menuAction()->isVisible())
            continue;
        for (const QAction *item : menu->actions())
            if (item->isEnabled() && item->isVisible() && !item->shortcut().isEmpty() && item->shortcut() == key)
                return true;
    }
    return false;
}

void EditorWindow::showFrame()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    Q_EMIT trayMarksChanged(true);
}

void EditorWindow::quit()
{
    if (close())
        Q_EMIT trayMarksChanged(false);
}

void EditorWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Minimising hides the frame to the tray.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible()) {
        hide();
        Q_EMIT trayMarksChanged(false);
    }
}

void EditorWindow::closeEvent(QCloseEvent *event)
{
    hide();
    m_mdiArea->closeAllSubWindows();
    if (!m_mdiArea->subWindowList().isEmpty()) {
        // A document whose save was cancelled stays open, and so does its frame.
        event->ignore();
        showFrame();
        return;
    }
    event->accept();
    Q_EMIT trayMarksChanged(false);
}

bool EditorWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip && qobject_cast<QToolButton *>(watched))
        return true;
    if (event->type() == QEvent::Resize && watched == m_mdiArea->viewport())
        followWorkspaceSize();
    return QMainWindow::eventFilter(watched, event);
}
