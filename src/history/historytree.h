#pragma once

#include "store/category.h"
#include "store/dateperiod.h"

#include <QList>
#include <QString>
#include <variant>

// The root of the history tree and its two folders.
enum class HistoryFolder { Root, Categories, Periods };
// What a node of the history tree stands for: the root or a folder, a category or a period.
using HistoryNodeKey = std::variant<HistoryFolder, CategoryKey, Period>;

// One node of the history tree: its key, its text (for a category the name stored in 类别),
// its parent's position in HistoryTree::nodes() (-1 for the root) and the keys of the images
// it shows when not selected and when selected.
struct HistoryNode
{
    HistoryNodeKey key;
    QString text;
    int parent = -1;
    QString image;
    QString selectedImage;
};

namespace HistoryTree {

// The twenty nodes in screen order: the root, 类别 with the ten categories, 时间 with the
// seven periods.
const QList<HistoryNode> &nodes();
// The position of the node with this key in nodes().
int indexOf(const HistoryNodeKey &key);

} // namespace HistoryTree
