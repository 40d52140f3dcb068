#include "history/recordgridmodel.h"

#include <QLocale>

namespace {

QString countText(qsizetype count)
{
    return QStringLiteral("共列 ") + QString::number(count) + QStringLiteral(" 个文件");
}

} // namespace

int RecordGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(std::max<qsizetype>(kMinimumRows, m_records.size()));
}

int RecordGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QString RecordGridModel::headerText(int column)
{
    switch (column) {
    case FileName: return QStringLiteral("文件名");
    case Size: return QStringLiteral("大小(字)");
    case Category: return QStringLiteral("类别");
    case Date: return QStringLiteral("记录时间");
    case Folder: return QStringLiteral("存放地址");
    case Source: return QStringLiteral("资料来源");
    default: return {};
    }
}

QString RecordGridModel::cellText(int gridRow, int column) const
{
    if (column < 0 || column >= kColumns)
        return {};
    if (gridRow == 0)
        return headerText(column);
    if (!isListed(gridRow))
        return {};
    if (column == Number)
        return QString::number(gridRow);
    if (m_blanked[size_t(gridRow - 1)])
        return {};
    const Record &record = m_records.at(gridRow - 1);
    switch (column) {
    case FileName: return record.fileName;
    case Size: return record.size;
    case Category: return record.category;
    // The short date of a Chinese system (2026/12/8), whatever the session's language.
    case Date:
        return record.date.isValid() ? QLocale(QLocale::Chinese, QLocale::China).toString(record.date, QLocale::ShortFormat)
                                     : QString();
    case Folder: return record.folder;
    case Source: return record.source;
    default: return {};
    }
}

QVariant RecordGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int gridRow = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return cellText(gridRow, index.column());
    case Qt::ToolTipRole:
        // Long names and addresses are shown whole in a tool tip; other columns have none.
        if (index.column() == FileName || index.column() == Source)
            return cellText(gridRow, index.column());
        return QString();
    case Qt::TextAlignmentRole:
        if (index.column() == FileName)
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return headerText(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void RecordGridModel::setListing(QList<Record> records)
{
    beginResetModel();
    m_records = std::move(records);
    m_blanked.assign(size_t(m_records.size()), false);
    endResetModel();
}

std::optional<Record> RecordGridModel::recordAt(int gridRow) const
{
    if (!isListed(gridRow) || m_blanked[size_t(gridRow - 1)])
        return std::nullopt;
    return m_records.at(gridRow - 1);
}

void RecordGridModel::blankRow(int gridRow)
{
    if (!isListed(gridRow))
        return;
    m_blanked[size_t(gridRow - 1)] = true;
    Q_EMIT dataChanged(index(gridRow - 1, FileName), index(gridRow - 1, Source));
}

RecordGridModel::Status RecordGridModel::statusAt(int gridRow) const
{
    if (!isListed(gridRow))
        return {};
    return {QStringLiteral("当前第 ") + cellText(gridRow, Number) + QStringLiteral(" 个文件"),
            QStringLiteral("文件名: ") + cellText(gridRow, FileName), countText(fileCount())};
}

RecordGridModel::Status RecordGridModel::listingStatus() const
{
    return {QString(), QString(), countText(fileCount())};
}
