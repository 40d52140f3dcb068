#pragma once

#include "history/recordactions.h"
#include "history/rowmarking.h"
#include "store/record.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class Clock;
class Dialogs;
class QAction;
class QLineEdit;
class QMenu;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;
class RecordGridModel;
class RecordStore;
class ProgramFolder;
class RebuildTask;
class ShellOpener;
class QTimer;
struct Settings;

// The history window "历史记录": a tree of categories and date periods on the left, the
// records of the clicked node in a grid on the right. Double-click on 文件名 opens the file
// in the chosen editor (or offers the file finder when the file has gone), on 资料来源 opens
// the source; the right button's popup deletes the marked records or rebuilds the records
// from the save folder. The search field above the grid lists the records whose text holds
// what is typed; clearing it lists the current node again.
// The window deletes itself when closed, and a rebuild that still runs stops, its report shown
// through the message hook; the file finder is a window of its own that the caller provides, so
// it lives on when this window closes.
class HistoryWindow final : public QWidget
{
    Q_OBJECT

public:
    using OpenInEditor = std::function<void(const QString &path)>;

    // `findFileName` is the shared name the finder searches for; `openInEditor` opens a file
    // in the built-in editor (when empty, the "Notavo" choice opens nothing); `showFinder`
    // shows the file finder, which starts from findFileName. `programFolder` resolves the save
    // folder as the record writer does.
    HistoryWindow(RecordStore &store, const Settings &settings, const ProgramFolder &programFolder,
                  QString &findFileName, const Clock &clock, ShellOpener &shell, Dialogs &dialogs,
                  OpenInEditor openInEditor, std::function<void()> showFinder = {}, QWidget *parent = nullptr);
    ~HistoryWindow() override;
    Q_DISABLE_COPY_MOVE(HistoryWindow)

    // Lists the records of the node with this key, as a click on it does.
    void listNode(const QString &key);
    // Lists the records whose text contains `text`, or the current node when it is empty.
    void searchFor(const QString &text);
    // Adds rows for the effective save folder's unrecorded files in a worker thread, then reports.
    void rebuildRecords();
    // Asks a running rebuild to stop; it then reports what it did and left.
    void stopRebuilding();
    bool isRebuilding() const;
    // Shows a message when the window is gone (the report of a rebuild stopped by closing it).
    void setShowMessage(std::function<void(const QString &)> showMessage) { m_showMessage = std::move(showMessage); }

    const RecordGridModel &grid() const { return *m_model; }
    RowMarking marking() const { return m_marking; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTree();
    void buildGrid();
    void buildStatusFrame();
    void buildBanner();
    void buildSearchField();
    void listItem(QTreeWidgetItem *item);
    void showListing(QList<Record> records, bool ok, const QString &error);
    void showStatus(int gridRow);
    void deleteMarked();
    int gridRowAt(const QPoint &viewportPos) const;
    int gridColumnAt(const QPoint &viewportPos) const;

    RecordStore &m_store;
    const Settings &m_settings;
    const ProgramFolder &m_programFolder;
    const Clock &m_clock;
    Dialogs &m_dialogs;
    RecordActions m_actions;

    QTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_currentBeforePress = nullptr;
    QTableView *m_gridView = nullptr;
    RecordGridModel *m_model = nullptr;
    QLineEdit *m_fileField = nullptr;
    QLineEdit *m_fileNameField = nullptr;
    QLineEdit *m_fileCountField = nullptr;
    QMenu *m_recordMenu = nullptr;
    RowMarking m_marking;
    int m_popupRow = 0;
    QLineEdit *m_searchEdit = nullptr;
    QTimer *m_searchDelay = nullptr;
    RebuildTask *m_rebuild = nullptr;
    QAction *m_stopRebuildAction = nullptr;
    std::function<void(const QString &)> m_showMessage;
};
