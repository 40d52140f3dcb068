#include "finder/matchlistmodel.h"

int MatchListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_paths.size());
}

QVariant MatchListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_paths.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_paths.at(index.row());
    return {};
}

void MatchListModel::append(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    const int first = int(m_paths.size());
    beginInsertRows({}, first, first + int(paths.size()) - 1);
    m_paths.append(paths);
    endInsertRows();
}

void MatchListModel::clear()
{
    beginResetModel();
    m_paths.clear();
    endResetModel();
}
