#include "history/recordgridview.h"

#include <QAction>
#include <QHeaderView>
#include <QMouseEvent>

RecordGridView::RecordGridView(QWidget *parent)
    : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setTabKeyNavigation(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setMouseTracking(true);
    // The header row describes no record.
    horizontalHeader()->setMouseTracking(true);
    horizontalHeader()->installEventFilter(this);

    const auto key = [this](const QList<QKeySequence> &keys, auto slot) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    key({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}, [this] {
        if (currentIndex().isValid())
            Q_EMIT openRequested(currentIndex());
    });
    key({QKeySequence(QKeySequence::Delete)}, [this] {
        if (currentIndex().isValid())
            Q_EMIT deleteRequested();
    });
    key({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}, [this] { requestMenuAtCurrentRow(); });
}

QList<int> RecordGridView::markedRange() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    const QModelIndexList selected = selectionModel()->selectedRows();
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.size() < 2)
        rows.clear();
    return rows;
}

QItemSelectionModel::SelectionFlags RecordGridView::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    if (event && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)
        && static_cast<const QMouseEvent *>(event)->button() != Qt::LeftButton)
        return QItemSelectionModel::NoUpdate;
    return QTableView::selectionCommand(index, event);
}

void RecordGridView::mouseMoveEvent(QMouseEvent *event)
{
    QTableView::mouseMoveEvent(event);
    Q_EMIT rowHovered(rowAt(event->position().toPoint().y()));
}

bool RecordGridView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == horizontalHeader() && event->type() == QEvent::MouseMove)
        Q_EMIT rowHovered(-1);
    return QTableView::eventFilter(watched, event);
}

void RecordGridView::requestMenuAtCurrentRow()
{
    QModelIndex current = currentIndex();
    if (!current.isValid() && model() && model()->rowCount() > 0)
        current = model()->index(0, 0);
    if (!current.isValid()) {
        Q_EMIT customContextMenuRequested(QPoint(0, 0));
        return;
    }
    scrollTo(current);
    Q_EMIT customContextMenuRequested(visualRect(current).center());
}
