#include "history/historytree.h"

#include "store/category.h"
#include "store/dateperiod.h"

namespace HistoryTree {

const QList<HistoryNode> &nodes()
{
    static const QList<HistoryNode> list = [] {
        const QString root = QStringLiteral("explor");
        const QString categories = QStringLiteral("leiBie");
        const QString periods = QStringLiteral("date");
        const QString fileOff = QStringLiteral("fileOff");
        const QString fileOn = QStringLiteral("fileOn");
        QList<HistoryNode> out;
        out.append({root, QStringLiteral("虚拟文件夹"), {}, QStringLiteral("explorer"), QStringLiteral("explorer")});
        out.append({categories, QStringLiteral("类别"), root, QStringLiteral("sortOff"), QStringLiteral("sortOn")});
        for (const Category &category : Categories::all())
            out.append({category.key, category.name, categories, fileOff, fileOn});
        out.append({periods, QStringLiteral("时间"), root, QStringLiteral("dateOff"), QStringLiteral("dateOn")});
        for (const DatePeriod &period : DatePeriods::all())
            out.append({period.key, period.text, periods, fileOff, fileOn});
        return out;
    }();
    return list;
}

const HistoryNode *byKey(const QString &key)
{
    for (const HistoryNode &node : nodes()) {
        if (node.key == key)
            return &node;
    }
    return nullptr;
}

} // namespace HistoryTree
