#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The finder's result list: full paths of the matches, appended a batch at a time so that
// long lists grow without one view update per entry.
class MatchListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void append(const QStringList &paths);
    void clear();
    const QStringList &paths() const { return m_paths; }

private:
    QStringList m_paths;
};
