#pragma once

#include <QList>

// The rows a left-button drag over the grid marks: the row under the pointer when the
// button went down and when it came up. A plain click marks one row.
struct RowMarking
{
    int startRow = 0;
    int endRow = 0;

    // The grid rows the delete command acts on, ascending: the marked range, or the row
    // under the pointer when no range is marked.
    QList<int> rowsToDelete(int mouseRow) const
    {
        if (startRow == endRow)
            return {mouseRow};
        QList<int> rows;
        for (int row = std::min(startRow, endRow); row <= std::max(startRow, endRow); ++row)
            rows.append(row);
        return rows;
    }
};
