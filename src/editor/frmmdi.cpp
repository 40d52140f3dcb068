#include "editor/frmmdi.h"

#include "editor/editorstate.h"
#include "editor/frmmdichild.h"
#include "editor/richedit.h"
#include "editor/toolbaricons.h"
#include "platform/clock.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// The toolbar's keys in button order, with the names screen readers announce.
struct ToolbarButton
{
    const char *key;
    const char16_t *name;
};
constexpr ToolbarButton kButtons[] = {
    {"newFile", u"新建"},      {"openFile", u"打开"}, {"saveFile", u"保存"},  {"printFile", u"打印"},
    {"cutText", u"剪切"},      {"copyText", u"复制"}, {"pasteText", u"粘贴"}, {"left", u"左对齐"},
    {"mid", u"居中"},          {"right", u"右对齐"},  {"leftRight", u"缩进左对齐"},
    {"textFont", u"字体"},     {"textColor", u"颜色"},
};

} // namespace

FrmMdi::FrmMdi(EditorState &state, Services services)
    : m_state(state)
    , m_services(std::move(services))
    , m_documentCommands(*this)
    , m_editCommands(*this)
    , m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("frmMdi"));
    setWindowTitle(QStringLiteral("Notavo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(ToolbarIcons::icon(0));
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->viewport()->setMouseTracking(true);
    m_mdiArea->viewport()->installEventFilter(this);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] { updateStatus(); });

    buildMenus();
    buildToolbar();
    buildStatusBar();

    m_state.newDocNumber = 1;
    m_state.docCount = 0;
    setWindowState(Qt::WindowMaximized);
    for (int position : {5, 6, 7})
        toolbarButton(position)->setEnabled(false);
    updateStatus();
}

FrmMdi::~FrmMdi()
{
    // The documents go while the frame is still whole: taking the windows down must not
    // call back into a half-destroyed frame.
    m_mdiArea->disconnect(this);
    qDeleteAll(m_mdiArea->subWindowList());
}

QAction *FrmMdi::addItem(QMenu *menu, const char *name, const QString &caption, const QKeySequence &key)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    return action;
}

void FrmMdi::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->menuAction()->setObjectName(QStringLiteral("mnuFile"));
    QAction *fileNew = addItem(file, "mFileNew", QStringLiteral("新建(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction *fileOpen = addItem(file, "mFileOpen", QStringLiteral("打开(&O)"), QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction *fileClose = addItem(file, "mFileClose", QStringLiteral("关闭(&C)"));
    QAction *fileSave = addItem(file, "mFileSave", QStringLiteral("保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction *fileSaveAs = addItem(file, "mFileSaveAs", QStringLiteral("文件另存(&A)"));
    file->addSeparator()->setObjectName(QStringLiteral("mFileBar0"));
    QAction *filePrint = addItem(file, "mFilePrint", QStringLiteral("文件打印(&P)"), QKeySequence(Qt::Key_F9));
    file->addSeparator()->setObjectName(QStringLiteral("mFileBar1"));
    QAction *fileQuit = addItem(file, "mFileQuit", QStringLiteral("退出(&Q)"));
    connect(fileNew, &QAction::triggered, this, [this] { m_documentCommands.newDocument(); });
    connect(fileOpen, &QAction::triggered, this, [this] { m_documentCommands.openDocument(); });
    connect(fileClose, &QAction::triggered, this, [this] {
        if (QMdiSubWindow *window = m_mdiArea->currentSubWindow())
            window->close();
    });
    connect(fileSave, &QAction::triggered, this, [this] { m_documentCommands.saveDocument(); });
    connect(fileSaveAs, &QAction::triggered, this, [this] { m_documentCommands.saveDocumentAs(); });
    connect(filePrint, &QAction::triggered, this, [this] { m_editCommands.printDirect(); });
    connect(fileQuit, &QAction::triggered, this, &FrmMdi::quit);

    m_mnuEdit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    m_mnuEdit->menuAction()->setObjectName(QStringLiteral("mnuEdit"));
    QAction *cut = addItem(m_mnuEdit, "mEditCut", QStringLiteral("剪切(&T)"), QKeySequence(Qt::CTRL | Qt::Key_X));
    QAction *copy = addItem(m_mnuEdit, "mEditCopy", QStringLiteral("复制(&C)"), QKeySequence(Qt::CTRL | Qt::Key_C));
    QAction *paste = addItem(m_mnuEdit, "mEditPaste", QStringLiteral("粘贴(&P)"));
    QAction *del = addItem(m_mnuEdit, "mEditDelete", QStringLiteral("删除(&D)"), QKeySequence(Qt::Key_Delete));
    m_mnuEdit->addSeparator()->setObjectName(QStringLiteral("mEditBar0"));
    QAction *all = addItem(m_mnuEdit, "mEditAll", QStringLiteral("全选(&A)"), QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(cut, &QAction::triggered, this, [this] { m_editCommands.cut(); });
    connect(copy, &QAction::triggered, this, [this] { m_editCommands.copy(); });
    connect(paste, &QAction::triggered, this, [this] { m_editCommands.paste(); });
    connect(del, &QAction::triggered, this, [this] { m_editCommands.deleteSelection(); });
    connect(all, &QAction::triggered, this, [this] { m_editCommands.selectAll(); });

    m_mnuText = menuBar()->addMenu(QStringLiteral("文字(&T)"));
    m_mnuText->menuAction()->setObjectName(QStringLiteral("mnuText"));
    connect(addItem(m_mnuText, "mTextFont", QStringLiteral("字体(&F)")), &QAction::triggered, this,
            [this] { m_editCommands.setSelectionFont(); });
    connect(addItem(m_mnuText, "mTextColor", QStringLiteral("颜色(&C)")), &QAction::triggered, this,
            [this] { m_editCommands.setSelectionColor(); });

    m_mnuWin = menuBar()->addMenu(QStringLiteral("窗口(&W)"));
    m_mnuWin->menuAction()->setObjectName(QStringLiteral("mnuWin"));
    connect(addItem(m_mnuWin, "mWinTile0", QStringLiteral("水平平铺(&H)")), &QAction::triggered, this,
            [this] { tile(Qt::Horizontal); });
    connect(addItem(m_mnuWin, "mWinTile1", QStringLiteral("垂直平铺(&V)")), &QAction::triggered, this,
            [this] { tile(Qt::Vertical); });
    connect(addItem(m_mnuWin, "mWinCascade", QStringLiteral("层叠(&C)")), &QAction::triggered, this,
            [this] { m_mdiArea->cascadeSubWindows(); });
    connect(m_mnuWin, &QMenu::aboutToShow, this, &FrmMdi::fillWindowMenu);

    QAction *history = menuBar()->addAction(QStringLiteral("历史记录(&L)"));
    history->setObjectName(QStringLiteral("mnuFileList"));
    connect(history, &QAction::triggered, this, &FrmMdi::historyRequested);

    QMenu *help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->menuAction()->setObjectName(QStringLiteral("mnuHelp"));
    connect(addItem(help, "mHelpTopic", QStringLiteral("帮助主题(&M)"), QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, &FrmMdi::helpRequested);
    connect(addItem(help, "mHelpAbout", QStringLiteral("关于....(&A)")), &QAction::triggered, this,
            &FrmMdi::aboutRequested);

    m_menus = {file, m_mnuEdit, m_mnuText, m_mnuWin, help};
    m_documentItems = {fileClose, fileSave, fileSaveAs, filePrint, m_mnuEdit->menuAction(),
                       m_mnuText->menuAction(), m_mnuWin->menuAction()};
}

void FrmMdi::buildToolbar()
{
    auto *toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(ToolbarIcons::kSize, ToolbarIcons::kSize));
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, toolbar);
    int index = 0;
    for (const ToolbarButton &entry : kButtons) {
        const QString key = QLatin1String(entry.key);
        QAction *button = toolbar->addAction(ToolbarIcons::icon(index++), QString::fromUtf16(entry.name));
        button->setObjectName(key);
        connect(button, &QAction::triggered, this, [this, key] { toolbarButtonClick(key); });
        toolbar->widgetForAction(button)->installEventFilter(this);
        m_buttons.append(button);
    }
}

void FrmMdi::buildStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("mdiStaBar"));
    for (int panel = 0; panel < 6; ++panel) {
        auto *label = new QLabel(statusBar());
        label->setObjectName(QStringLiteral("panel%1").arg(panel + 1));
        statusBar()->addWidget(label, 1);
        m_panels.append(label);
    }
}

QAction *FrmMdi::toolbarButton(int position) const
{
    return m_buttons.value(position - 1);
}

void FrmMdi::toolbarButtonClick(const QString &key)
{
    using Alignment = TextFormatting::Alignment;
    if (key == QLatin1String("newFile"))
        m_documentCommands.newDocument();
    else if (key == QLatin1String("openFile"))
        m_documentCommands.openDocument();
    else if (key == QLatin1String("saveFile"))
        m_documentCommands.saveDocument();
    else if (key == QLatin1String("printFile"))
        m_editCommands.printWithDialog();
    else if (key == QLatin1String("cutText"))
        m_editCommands.cut();
    else if (key == QLatin1String("copyText"))
        m_editCommands.copy();
    else if (key == QLatin1String("pasteText"))
        m_editCommands.paste();
    else if (key == QLatin1String("left"))
        m_editCommands.align(Alignment::Left);
    else if (key == QLatin1String("mid"))
        m_editCommands.align(Alignment::Centre);
    else if (key == QLatin1String("right"))
        m_editCommands.align(Alignment::Right);
    else if (key == QLatin1String("leftRight"))
        m_editCommands.align(Alignment::LeftWithIndents);
    else if (key == QLatin1String("textFont"))
        m_editCommands.setSelectionFont();
    else if (key == QLatin1String("textColor"))
        m_editCommands.setSelectionColor();
}

FrmMdiChild *FrmMdi::activeDocument() const
{
    QMdiSubWindow *window = m_mdiArea->currentSubWindow();
    return window ? qobject_cast<FrmMdiChild *>(window->widget()) : nullptr;
}

QList<FrmMdiChild *> FrmMdi::documents() const
{
    QList<FrmMdiChild *> result;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList())
        if (auto *document = qobject_cast<FrmMdiChild *>(window->widget()))
            result.append(document);
    return result;
}

void FrmMdi::addDocument(FrmMdiChild *document)
{
    QMdiSubWindow *window = m_mdiArea->addSubWindow(document);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(ToolbarIcons::icon(0));
    window->show();
    m_mdiArea->setActiveSubWindow(window);
    showFrame();
    document->ricEdit()->setFocus();
}

void FrmMdi::tile(Qt::Orientation orientation)
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

void FrmMdi::refreshCommandState()
{
    if (m_state.docCount != 0)
        updateEditState();
    const bool documentsOpen = m_state.docCount > 0;
    for (int position = 3; position <= 13; ++position) {
        if (documentsOpen && position >= 5 && position <= 7)
            continue;
        toolbarButton(position)->setEnabled(documentsOpen);
    }
    setDocumentCommandsShown(documentsOpen);
}

void FrmMdi::setDocumentCommandsShown(bool shown)
{
    for (QAction *item : std::as_const(m_documentItems))
        item->setVisible(shown);
}

void FrmMdi::updateEditState()
{
    if (FrmMdiChild *document = activeDocument())
        updateEditCommands(document->selectionLength());
}

void FrmMdi::updateEditCommands(int selectionLength)
{
    const bool selected = selectionLength > 0;
    for (const char *name : {"mEditCut", "mEditCopy", "mEditDelete"})
        findChild<QAction *>(QLatin1String(name))->setEnabled(selected);
    toolbarButton(5)->setEnabled(selected);
    toolbarButton(6)->setEnabled(selected);
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const bool pasteable = clipboard && !clipboard->text().isEmpty();
    findChild<QAction *>(QStringLiteral("mEditPaste"))->setEnabled(pasteable);
    toolbarButton(7)->setEnabled(pasteable);
}

void FrmMdi::updateStatus()
{
    const FrmMdiChild *document = activeDocument();
    if (!document) {
        for (int panel = 0; panel < 5; ++panel)
            m_panels[panel]->clear();
    } else {
        const QTextCursor cursor = document->ricEdit()->textCursor();
        m_panels[0]->setText(document->caption());
        m_panels[1]->setText(QStringLiteral("行 %1").arg(cursor.blockNumber() + 1));
        m_panels[2]->setText(QStringLiteral("列 %1").arg(cursor.positionInBlock() + 1));
        m_panels[3]->setText(QStringLiteral("字数 %1").arg(document->ricEdit()->document()->characterCount() - 1));
        m_panels[4]->setText(document->docChanged() ? QStringLiteral("已修改") : QStringLiteral("未修改"));
    }
    m_panels[5]->setText(m_services.clock.today().toString(QStringLiteral("yyyy-MM-dd")));
}

bool FrmMdi::commandTakesKey(const QKeySequence &key) const
{
    for (const QMenu *menu : m_menus) {
        if (!menu->menuAction()->isVisible())
            continue;
        for (const QAction *item : menu->actions())
            if (item->isEnabled() && item->isVisible() && !item->shortcut().isEmpty() && item->shortcut() == key)
                return true;
    }
    return false;
}

void FrmMdi::popupEditMenu(const QPoint &globalPos)
{
    m_mnuEdit->popup(globalPos);
}

bool FrmMdi::saveWindow(FrmMdiChild &window)
{
    return m_documentCommands.saveWindow(window);
}

void FrmMdi::showFrame()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    Q_EMIT trayMarksChanged(true);
}

void FrmMdi::quit()
{
    if (close())
        Q_EMIT trayMarksChanged(false);
}

void FrmMdi::fillWindowMenu()
{
    qDeleteAll(m_windowItems);
    m_windowItems.clear();
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    m_windowItems.append(m_mnuWin->addSeparator());
    int number = 1;
    for (QMdiSubWindow *window : windows) {
        QAction *item = m_mnuWin->addAction(QStringLiteral("&%1 %2").arg(number++).arg(window->windowTitle()));
        item->setCheckable(true);
        item->setChecked(window == m_mdiArea->currentSubWindow());
        connect(item, &QAction::triggered, this, [this, window] { m_mdiArea->setActiveSubWindow(window); });
        m_windowItems.append(item);
    }
}

void FrmMdi::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Minimising hides the frame to the tray.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible()) {
        hide();
        Q_EMIT trayMarksChanged(false);
    }
}

void FrmMdi::closeEvent(QCloseEvent *event)
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

bool FrmMdi::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mdiArea->viewport() && event->type() == QEvent::MouseMove)
        refreshCommandState();
    // The toolbar's buttons carry no tooltips.
    if (event->type() == QEvent::ToolTip && qobject_cast<QToolButton *>(watched))
        return true;
    return QMainWindow::eventFilter(watched, event);
}
