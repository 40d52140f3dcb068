#include "history/historytree.h"

namespace HistoryTree {

const QList<HistoryNode> &nodes()
{
    static const QList<HistoryNode> list = [] {
        const QString fileOff = QStringLiteral("fileOff");
        const QString fileOn = QStringLiteral("fileOn");
        const QString explorer = QStringLiteral("explorer");
        QList<HistoryNode> out;
        out.append({HistoryFolder::Root, QStringLiteral("虚拟文件夹"), -1, explorer, explorer});
        const int categories = int(out.size());
        out.append({HistoryFolder::Categories, QStringLiteral("类别"), 0, QStringLiteral("sortOff"), QStringLiteral("sortOn")});
        for (const Category &category : Categories::all())
            out.append({category.key, category.name, categories, fileOff, fileOn});
        const int periods = int(out.size());
        out.append({HistoryFolder::Periods, QStringLiteral("时间"), 0, QStringLiteral("dateOff"), QStringLiteral("dateOn")});
        for (const DatePeriod &period : DatePeriods::all())
            out.append({period.period, period.text, periods, fileOff, fileOn});
        return out;
    }();
    return list;
}

int indexOf(const HistoryNodeKey &key)
{
    const QList<HistoryNode> &list = nodes();
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).key == key)
            return i;
    }
    return -1;
}

} // namespace HistoryTree
