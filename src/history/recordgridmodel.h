#pragma once

#include "store/record.h"

#include <QAbstractTableModel>
#include <QList>
#include <optional>
#include <vector>

// The record grid's content. Grid rows count as the window shows them: row 0 is the header
// row, rows 1 … the listed records; the grid never has fewer than fifteen record rows.
// Column 0 holds the running number, columns 1 to 6 the record's six columns.
class RecordGridModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kColumns = 7;
    static constexpr int kMinimumRows = 15;
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
    qsizetype fileCount() const { return m_records.size(); }

    // The text of a cell by grid row (0 is the header row); empty outside the grid.
    QString cellText(int gridRow, int column) const;
    // The record shown in a grid row; nullopt for the header, an empty or a blanked row.
    std::optional<Record> recordAt(int gridRow) const;
    // Empties columns 1 to 6 of a listed row; its number stays.
    void blankRow(int gridRow);

    // The status fields for the row under the mouse: filled over a listed row, else empty.
    Status statusAt(int gridRow) const;
    // The status fields right after a listing: only the count.
    Status listingStatus() const;

    static QString headerText(int column);

private:
    bool isListed(int gridRow) const { return gridRow >= 1 && gridRow <= m_records.size(); }

    QList<Record> m_records;
    std::vector<bool> m_blanked;
};
