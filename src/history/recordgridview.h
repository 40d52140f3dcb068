#pragma once

#include <QTableView>

// The history window's record grid: whole rows are marked, a left-button drag or Shift with
// the arrows marks a range, and the right button only opens the popup, so the marked rows stay
// marked for it. Tells which row the pointer is over (-1 over the header or below the rows)
// and offers the keys: Enter opens the current record, Delete asks to delete, the Menu key
// and Shift+F10 ask for the popup at the current row (as customContextMenuRequested, in
// viewport coordinates like a right click).
class RecordGridView final : public QTableView
{
    Q_OBJECT

public:
    explicit RecordGridView(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(RecordGridView)

    // The rows marked by a drag or Shift, ascending; empty when no more than one row is marked.
    QList<int> markedRange() const;

Q_SIGNALS:
    void rowHovered(int row);
    void openRequested(const QModelIndex &index);
    void deleteRequested();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index, const QEvent *event) const override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void requestMenuAtCurrentRow();
};
