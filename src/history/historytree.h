#pragma once

#include <QList>
#include <QString>

// One node of the history tree: its key, its text, its parent's key (empty for the root)
// and the keys of the images it shows when not selected and when selected.
struct HistoryNode
{
    QString key;
    QString text;
    QString parentKey;
    QString image;
    QString selectedImage;
};

namespace HistoryTree {

// The twenty nodes in screen order: the root, 类别 with the ten categories, 时间 with the
// seven periods.
const QList<HistoryNode> &nodes();
const HistoryNode *byKey(const QString &key);

} // namespace HistoryTree
