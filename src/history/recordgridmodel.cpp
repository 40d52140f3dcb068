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
    return parent.isValid() ? 0 : int(m_rows.size());
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

QString RecordGridModel::cellText(const Row &row, int column)
{
    const Record &record = row.record;
    switch (column) {
    case Number: return QString::number(row.number);
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
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(row, index.column());
    case Qt::ToolTipRole:
        // Long names and addresses are shown whole in a tool tip; other columns have none.
        if (index.column() == FileName || index.column() == Source)
            return cellText(row, index.column());
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
    m_rows.clear();
    m_rows.reserve(records.size());
    int number = 0;
    for (Record &record : records)
        m_rows.append({std::move(record), ++number});
    m_listedCount = m_rows.size();
    endResetModel();
}

bool RecordGridModel::removeRecord(qint64 rowId)
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).record.rowId == rowId) {
            beginRemoveRows({}, row, row);
            m_rows.removeAt(row);
            endRemoveRows();
            return true;
        }
    }
    return false;
}

RecordGridModel::Status RecordGridModel::statusAt(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    const Row &shown = m_rows.at(row);
    return {QStringLiteral("当前第 ") + QString::number(shown.number) + QStringLiteral(" 个文件"),
            QStringLiteral("文件名: ") + shown.record.fileName, countText(m_listedCount)};
}

RecordGridModel::Status RecordGridModel::listingStatus() const
{
    return {QString(), QString(), countText(m_listedCount)};
}
