#pragma once

#include "store/record.h"

#include <QAbstractTableModel>
#include <QList>

// The record grid's content: one row per listed record, in listing order. Column 0 holds the
// record's number in the listing, columns 1 to 6 the record's six columns. Deleting a record
// removes its row; the other rows keep their numbers and the count stays that of the listing
// until the next one.
class RecordGridModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kColumns = 7;
    enum Column { Number, FileName, Size, Category, Date, Folder, Source };

    // The three status fields below the grid.
    struct Status
    {
        QString file;
        QString fileName;
        QString files;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setListing(QList<Record> records);
    // How many records the last listing found; deleting rows leaves it as it is.
    qsizetype listedCount() const { return m_listedCount; }

    // The record shown in a row (0 ≤ row < rowCount()).
    const Record &recordAt(int row) const { return m_rows.at(row).record; }
    // Removes the row that shows the record with this row id; false when no row shows it.
    bool removeRecord(qint64 rowId);

    // The status fields for a row: filled for a listed row, all empty for any other (-1).
    Status statusAt(int row) const;
    // The status fields right after a listing: only the count.
    Status listingStatus() const;

    static QString headerText(int column);

private:
    struct Row
    {
        Record record;
        // Its number in the listing, from 1.
        int number;
    };
    static QString cellText(const Row &row, int column);

    QList<Row> m_rows;
    qsizetype m_listedCount = 0;
};
