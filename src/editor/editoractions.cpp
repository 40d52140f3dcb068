#include "editor/editoractions.h"

#include "editor/toolbaricons.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

namespace {

QMenu *addMenu(QMainWindow &window, const char *name, const QString &title)
{
    QMenu *menu = window.menuBar()->addMenu(title);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction *addItem(QMenu *menu, const char *name, const QString &text, const QKeySequence &key = {})
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    return action;
}

} // namespace

void EditorActions::create(QMainWindow &window)
{
    createMenus(window);
    createToolBar(window);
}

void EditorActions::createMenus(QMainWindow &window)
{
    fileMenu = addMenu(window, "fileMenu", QStringLiteral("文件(&F)"));
    newAction = addItem(fileMenu, "newAction", QStringLiteral("新建(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N));
    openAction = addItem(fileMenu, "openAction", QStringLiteral("打开(&O)"), QKeySequence(Qt::CTRL | Qt::Key_O));
    closeAction = addItem(fileMenu, "closeAction", QStringLiteral("关闭(&C)"));
    saveAction = addItem(fileMenu, "saveAction", QStringLiteral("保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S));
    saveAsAction = addItem(fileMenu, "saveAsAction", QStringLiteral("文件另存(&A)"));
    fileMenu->addSeparator();
    printAction = addItem(fileMenu, "printAction", QStringLiteral("文件打印(&P)"), QKeySequence(Qt::Key_F9));
    fileMenu->addSeparator();
    quitAction = addItem(fileMenu, "quitAction", QStringLiteral("退出(&Q)"));

    editMenu = addMenu(window, "editMenu", QStringLiteral("编辑(&E)"));
    cutAction = addItem(editMenu, "cutAction", QStringLiteral("剪切(&T)"), QKeySequence(Qt::CTRL | Qt::Key_X));
    copyAction = addItem(editMenu, "copyAction", QStringLiteral("复制(&C)"), QKeySequence(Qt::CTRL | Qt::Key_C));
    pasteAction = addItem(editMenu, "pasteAction", QStringLiteral("粘贴(&P)"));
    deleteAction = addItem(editMenu, "deleteAction", QStringLiteral("删除(&D)"), QKeySequence(Qt::Key_Delete));
    editMenu->addSeparator();
    selectAllAction = addItem(editMenu, "selectAllAction", QStringLiteral("全选(&A)"), QKeySequence(Qt::CTRL | Qt::Key_A));

    textMenu = addMenu(window, "textMenu", QStringLiteral("文字(&T)"));
    fontAction = addItem(textMenu, "fontAction", QStringLiteral("字体(&F)"));
    colorAction = addItem(textMenu, "colorAction", QStringLiteral("颜色(&C)"));

    windowMenu = addMenu(window, "windowMenu", QStringLiteral("窗口(&W)"));
    tileHorizontallyAction = addItem(windowMenu, "tileHorizontallyAction", QStringLiteral("水平平铺(&H)"));
    tileVerticallyAction = addItem(windowMenu, "tileVerticallyAction", QStringLiteral("垂直平铺(&V)"));
    cascadeAction = addItem(windowMenu, "cascadeAction", QStringLiteral("层叠(&C)"));

    historyAction = window.menuBar()->addAction(QStringLiteral("历史记录(&L)"));
    historyAction->setObjectName(QStringLiteral("historyAction"));

    helpMenu = addMenu(window, "helpMenu", QStringLiteral("帮助(&H)"));
    helpTopicsAction = addItem(helpMenu, "helpTopicsAction", QStringLiteral("帮助主题(&M)"), QKeySequence(Qt::Key_F1));
    aboutAction = addItem(helpMenu, "aboutAction", QStringLiteral("关于....(&A)"));
}

void EditorActions::createToolBar(QMainWindow &window)
{
    using ToolbarIcons::Picture;
    toolBar = new QToolBar(&window);
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setMovable(false);
    toolBar->setIconSize(QSize(ToolbarIcons::kSize, ToolbarIcons::kSize));
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    window.addToolBar(Qt::TopToolBarArea, toolBar);

    // In button order, with the names screen readers announce.
    const struct
    {
        QAction *EditorActions::*button;
        const char *name;
        const char16_t *text;
        ToolbarIcons::Picture picture;
    } buttons[] = {
        {&EditorActions::newButton, "newButton", u"新建", Picture::BlankPage},
        {&EditorActions::openButton, "openButton", u"打开", Picture::OpenFolder},
        {&EditorActions::saveButton, "saveButton", u"保存", Picture::Diskette},
        {&EditorActions::printButton, "printButton", u"打印", Picture::Printer},
        {&EditorActions::cutButton, "cutButton", u"剪切", Picture::Scissors},
        {&EditorActions::copyButton, "copyButton", u"复制", Picture::TwoPages},
        {&EditorActions::pasteButton, "pasteButton", u"粘贴", Picture::ClipboardWithPage},
        {&EditorActions::alignLeftButton, "alignLeftButton", u"左对齐", Picture::LinesLeft},
        {&EditorActions::centerButton, "centerButton", u"居中", Picture::LinesCentred},
        {&EditorActions::alignRightButton, "alignRightButton", u"右对齐", Picture::LinesRight},
        {&EditorActions::indentedLeftButton, "indentedLeftButton", u"缩进左对齐", Picture::LinesJustified},
        {&EditorActions::fontButton, "fontButton", u"字体", Picture::TwoLetters},
        {&EditorActions::colorButton, "colorButton", u"颜色", Picture::Palette},
    };
    for (const auto &entry : buttons) {
        QAction *button = toolBar->addAction(ToolbarIcons::icon(entry.picture), QString::fromUtf16(entry.text));
        button->setObjectName(QLatin1StringView(entry.name));
        this->*entry.button = button;
    }
}

QList<QAction *> EditorActions::documentItems() const
{
    return {closeAction,           saveAsAction,           saveAction,
            printAction,           editMenu->menuAction(), textMenu->menuAction(),
            windowMenu->menuAction()};
}

QList<QAction *> EditorActions::documentButtons() const
{
    return {saveButton,         printButton,      alignLeftButton, centerButton,
            alignRightButton,   indentedLeftButton, fontButton,    colorButton};
}
