#pragma once

#include <QList>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// The editor frame's commands: its menus and their items, and its toolbar's buttons.
// The toolbar has buttons of its own, since its print button opens the print dialog while
// the menu item prints at once, and its buttons are disabled where the items are hidden.
struct EditorActions
{
    QMenu *fileMenu = nullptr;
    QAction *newAction = nullptr;
    QAction *openAction = nullptr;
    QAction *closeAction = nullptr;
    QAction *saveAction = nullptr;
    QAction *saveAsAction = nullptr;
    QAction *printAction = nullptr;
    QAction *quitAction = nullptr;

    QMenu *editMenu = nullptr;
    QAction *cutAction = nullptr;
    QAction *copyAction = nullptr;
    QAction *pasteAction = nullptr;
    QAction *deleteAction = nullptr;
    QAction *selectAllAction = nullptr;

    QMenu *textMenu = nullptr;
    QAction *fontAction = nullptr;
    QAction *colorAction = nullptr;

    QMenu *windowMenu = nullptr;
    QAction *tileHorizontallyAction = nullptr;
    QAction *tileVerticallyAction = nullptr;
    QAction *cascadeAction = nullptr;

    QAction *historyAction = nullptr;
    QMenu *helpMenu = nullptr;
    QAction *helpTopicsAction = nullptr;
    QAction *aboutAction = nullptr;

    QToolBar *toolBar = nullptr;
    QAction *newButton = nullptr;
    QAction *openButton = nullptr;
    QAction *saveButton = nullptr;
    QAction *printButton = nullptr;
    QAction *cutButton = nullptr;
    QAction *copyButton = nullptr;
    QAction *pasteButton = nullptr;
    QAction *alignLeftButton = nullptr;
    QAction *centerButton = nullptr;
    QAction *alignRightButton = nullptr;
    QAction *indentedLeftButton = nullptr;
    QAction *fontButton = nullptr;
    QAction *colorButton = nullptr;

    // Puts the menus on the window's menu bar and the toolbar along its top edge.
    void create(QMainWindow &window);

    QList<QMenu *> menus() const { return {fileMenu, editMenu, textMenu, windowMenu, helpMenu}; }
    // The items and menus shown only while a document is open.
    QList<QAction *> documentItems() const;
    // The buttons that need an open document, apart from cut, copy and paste.
    QList<QAction *> documentButtons() const;

private:
    void createMenus(QMainWindow &window);
    void createToolBar(QMainWindow &window);
};
