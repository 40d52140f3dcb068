#pragma once

#include "history/historytree.h"
#include "history/recordactions.h"
#include "store/record.h"

#include <QWidget>
#include <functional>

class Clock;
class Dialogs;
class QAction;
class QLineEdit;
class QMenu;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class RebuildTask;
class RecordGridModel;
class RecordGridView;
class RecordStore;

// The history window "历史记录": a tree of categories and date periods on the left, the
// records of the chosen node in a grid on the right. Double-click on 文件名 (or Enter) opens
// the file in the chosen editor (or offers the file finder when the file has gone), on
// 资料来源 opens the source; the popup (right button, Menu key, Shift+F10) opens them too,
// deletes the marked records (as Delete does) or rebuilds the records from the save folder.
// The search field above the grid lists the records whose text holds what is typed; clearing
// it lists the current node again.
// The window deletes itself when closed, and a rebuild that still runs stops, its report shown
// through the message hook.
class HistoryWindow final : public QWidget
{
    Q_OBJECT

public:
    // `saveFolder` gives the folder captures go to, asked when a rebuild starts; `actions` does
    // what the grid asks of a record.
    HistoryWindow(RecordStore &store, const Clock &clock, Dialogs &dialogs, std::function<QString()> saveFolder,
                  RecordActions actions, QWidget *parent = nullptr);
    ~HistoryWindow() override;
    Q_DISABLE_COPY_MOVE(HistoryWindow)

    // Lists the records of the node with this key, as choosing it in the tree does.
    void listNode(const HistoryNodeKey &key);
    // Lists the records whose text contains `text`, or the current node when it is empty.
    void searchFor(const QString &text);
    // Adds rows for the save folder's unrecorded files in a worker thread, then reports.
    void rebuildRecords();
    // Asks a running rebuild to stop; it then reports what it did and left.
    void stopRebuilding();
    bool isRebuilding() const;
    // Shows a message when the window is gone (the report of a rebuild stopped by closing it).
    void setShowMessage(std::function<void(const QString &)> showMessage) { m_showMessage = std::move(showMessage); }

    const RecordGridModel &grid() const { return *m_model; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTree();
    void buildGrid();
    void buildRecordMenu();
    QWidget *buildStatusFrame();
    QWidget *buildBanner();
    void buildSearchField();
    void buildLayout(QWidget *statusFrame, QWidget *banner);
    void listItem(QTreeWidgetItem *item);
    void showListing(QList<Record> records, bool ok, const QString &error);
    void showStatus(int row);
    void onDoubleClicked(const QModelIndex &index);
    void openAt(const QModelIndex &index);
    void showRecordMenu(const QPoint &viewportPos);
    // Deletes the marked rows' records, or the one of `row` when no range is marked.
    void deleteMarkedOr(int row);

    RecordStore &m_store;
    const Clock &m_clock;
    Dialogs &m_dialogs;
    std::function<QString()> m_saveFolder;
    RecordActions m_actions;

    QTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_currentBeforePress = nullptr;
    RecordGridView *m_gridView = nullptr;
    RecordGridModel *m_model = nullptr;
    QLineEdit *m_fileField = nullptr;
    QLineEdit *m_fileNameField = nullptr;
    QLineEdit *m_fileCountField = nullptr;
    QMenu *m_recordMenu = nullptr;
    QAction *m_rebuildAction = nullptr;
    QAction *m_stopRebuildAction = nullptr;
    // The row the popup was opened for; -1 for none.
    int m_popupRow = -1;
    QLineEdit *m_searchEdit = nullptr;
    QTimer *m_searchDelay = nullptr;
    RebuildTask *m_rebuild = nullptr;
    std::function<void(const QString &)> m_showMessage;
};
