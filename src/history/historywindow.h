#pragma once

#include "finder/finderwindow.h"
#include "history/recordactions.h"
#include "history/rowmarking.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class Clock;
class Dialogs;
class QLineEdit;
class QMenu;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;
class RecordGridModel;
class RecordStore;
class ShellOpener;
struct Settings;

// The history window "历史记录": a tree of categories and date periods on the left, the
// records of the clicked node in a grid on the right. Double-click on 文件名 opens the file
// in the chosen editor (or offers the file finder when the file has gone), on 资料来源 opens
// the source; the right button's popup deletes the marked records.
// The window deletes itself when closed; the finder it opens closes with it.
class HistoryWindow final : public QWidget
{
    Q_OBJECT

public:
    using OpenInEditor = std::function<void(const QString &path)>;

    // `findFileName` is the shared name the finder searches for; `openInEditor` opens a file
    // in the built-in editor (when empty, the "Notavo" choice opens nothing).
    HistoryWindow(RecordStore &store, const Settings &settings, QString &findFileName, const Clock &clock,
                  ShellOpener &shell, Dialogs &dialogs, OpenInEditor openInEditor, QWidget *parent = nullptr);
    ~HistoryWindow() override;
    Q_DISABLE_COPY_MOVE(HistoryWindow)

    // Lists the records of the node with this key, as a click on it does.
    void listNode(const QString &key);
    // Shows the file finder, creating it on first use, with findFileName as its pattern.
    void showFinder();

    FinderWindow *finderWindow() const { return m_finder; }
    const RecordGridModel &grid() const { return *m_model; }
    RowMarking marking() const { return m_marking; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTree();
    void buildGrid();
    void buildStatusFrame();
    void buildBanner();
    void listItem(QTreeWidgetItem *item);
    void showStatus(int gridRow);
    void deleteMarked();
    int gridRowAt(const QPoint &viewportPos) const;
    int gridColumnAt(const QPoint &viewportPos) const;

    RecordStore &m_store;
    const Settings &m_settings;
    QString &m_findFileName;
    const Clock &m_clock;
    ShellOpener &m_shell;
    Dialogs &m_dialogs;
    OpenInEditor m_openInEditor;
    RecordActions m_actions;

    QTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_currentBeforePress = nullptr;
    QTableView *m_gridView = nullptr;
    RecordGridModel *m_model = nullptr;
    QLineEdit *m_txtFile = nullptr;
    QLineEdit *m_txtFileName = nullptr;
    QLineEdit *m_txtFiles = nullptr;
    QMenu *m_mnuDelete = nullptr;
    RowMarking m_marking;
    int m_popupRow = 0;
    QPointer<FinderWindow> m_finder;
};
