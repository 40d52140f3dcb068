#pragma once

#include "editor/editoractions.h"
#include "editor/editorservices.h"
#include "editor/formatcommands.h"
#include "editor/printcommands.h"
#include "editor/printersource.h"

#include <QList>
#include <QMainWindow>

class DocumentTextEdit;
class DocumentWindow;
class EditorStatusBar;
class QMdiArea;
class QMdiSubWindow;

// The editor's frame: the multi-document window "Notavo" with its menus, its toolbar and
// its status bar. Its commands act on the active document window; their state follows
// the active document, its selection and modified state, and the clipboard.
class EditorWindow final : public QMainWindow
{
    Q_OBJECT

public:
    // The frame starts maximised, not yet shown, with no documents.
    EditorWindow(EditorServices services, PrinterSource printers);
    ~EditorWindow() override;
    Q_DISABLE_COPY_MOVE(EditorWindow)

    const EditorActions &actions() const { return m_actions; }

    // The active document window; nullptr when none is open.
    DocumentWindow *activeDocument() const;
    QList<DocumentWindow *> documents() const;

    // "新建(&N)": a new document "新记录<n>", n counting from 2 after the frame loads.
    DocumentWindow *newDocument();
    // "打开(&O)": asks for a text file and opens it.
    void openDocument();
    // Opens `path` in a new document window and shows the frame.
    DocumentWindow *openFile(const QString &path);

    // The number the last new document took (at 32767 no new document opens).
    int newDocumentNumber() const { return m_newDocumentNumber; }
    void setNewDocumentNumber(int number) { m_newDocumentNumber = number; }

    // True when an enabled item of a visible menu takes `key`; the text area yields it.
    bool commandTakesKey(const QKeySequence &key) const;

    void setPrinterSource(PrinterSource printers) { m_printCommands.setPrinterSource(std::move(printers)); }

    // Shows the frame (restored from minimised when it was) and flips the tray marks.
    void showFrame();
    // "退出(&Q)": closes the frame with its documents.
    void quit();

Q_SIGNALS:
    void trayMarksChanged(bool editorShown);
    // A document was saved under a name the user chose (not by a plain save to its own file).
    void documentSavedAs(const QString &path, const QString &plainText);
    void historyRequested();
    void helpRequested();
    void aboutRequested();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectFileActions();
    void connectEditActions();
    void connectWindowActions();
    void updateActions();
    void updateStatusBar();
    DocumentWindow *addDocument(DocumentWindow *document);
    void placeNewWindow(QMdiSubWindow *window);
    void followWorkspaceSize();
    DocumentTextEdit *activeTextEdit() const;
    void tile(Qt::Orientation orientation);
    void fillWindowMenu();

    EditorServices m_services;
    EditorActions m_actions;
    FormatCommands m_formatCommands;
    PrintCommands m_printCommands;
    QMdiArea *m_mdiArea = nullptr;
    EditorStatusBar *m_statusBar = nullptr;
    QList<QAction *> m_windowListItems;
    int m_newDocumentNumber = 1;
};
