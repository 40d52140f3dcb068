#pragma once

#include "editor/documentcommands.h"
#include "editor/editcommands.h"
#include "editor/printersource.h"

#include <QList>
#include <QMainWindow>

class Clock;
struct CurrentRecord;
class Dialogs;
class FrmMdiChild;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class RecordStore;
struct EditorState;

// The editor's frame: the multi-document window "Notavo" with its menu bar, its 13-button
// toolbar, its status bar and the rule by which commands are shown and enabled.
class FrmMdi final : public QMainWindow
{
    Q_OBJECT

public:
    struct Services
    {
        RecordStore &store;
        CurrentRecord &record;
        const Clock &clock;
        Dialogs &dialogs;
        PrinterSource printers;
    };

    // Loading the frame resets the state's counters and leaves it maximised, not yet shown.
    FrmMdi(EditorState &state, Services services);
    ~FrmMdi() override;
    Q_DISABLE_COPY_MOVE(FrmMdi)

    EditorState &state() { return m_state; }
    Services &services() { return m_services; }
    Dialogs &dialogs() { return m_services.dialogs; }
    DocumentCommands &documentCommands() { return m_documentCommands; }
    EditCommands &editCommands() { return m_editCommands; }

    // The active document window; nullptr when none is open.
    FrmMdiChild *activeDocument() const;
    QList<FrmMdiChild *> documents() const;
    // Puts a new document window into the frame, activates it and shows the frame.
    void addDocument(FrmMdiChild *document);

    // The toolbar button at `position` (1 to 13), its key in objectName().
    QAction *toolbarButton(int position) const;
    // Runs the command of the first button whose key equals `key`; an unknown key does nothing.
    void toolbarButtonClick(const QString &key);

    // The refresh that runs when the pointer moves over the empty workspace.
    void refreshCommandState();
    // Cut, copy, delete and paste from the active document's selection and the clipboard.
    void updateEditState();
    void updateEditCommands(int selectionLength);
    void updateStatus();

    // True when an enabled item of a visible menu takes `key`; the text area yields it.
    bool commandTakesKey(const QKeySequence &key) const;
    void popupEditMenu(const QPoint &globalPos);
    // Saves one window as "保存(&S)" does; false when it was not saved.
    bool saveWindow(FrmMdiChild &window);

    // Shows the frame (restored from minimised when it was) and flips the tray marks.
    void showFrame();
    // "退出(&Q)": closes the frame with its documents.
    void quit();

Q_SIGNALS:
    void trayMarksChanged(bool editorShown);
    void historyRequested();
    void helpRequested();
    void aboutRequested();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    QAction *addItem(QMenu *menu, const char *name, const QString &caption, const QKeySequence &key = {});
    void fillWindowMenu();
    void tile(Qt::Orientation orientation);
    void setDocumentCommandsShown(bool shown);

    EditorState &m_state;
    Services m_services;
    DocumentCommands m_documentCommands;
    EditCommands m_editCommands;
    QMdiArea *m_mdiArea = nullptr;
    QList<QMenu *> m_menus;
    QMenu *m_mnuEdit = nullptr;
    QMenu *m_mnuText = nullptr;
    QMenu *m_mnuWin = nullptr;
    QList<QAction *> m_documentItems;  // hidden with no document open
    QList<QAction *> m_windowItems;    // the window menu's list of documents
    QList<QAction *> m_buttons;
    QList<QLabel *> m_panels;
};
