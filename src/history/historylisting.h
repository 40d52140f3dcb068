#pragma once

#include "store/record.h"

#include <QList>
#include <QString>

class Clock;
class RecordStore;
struct HistoryNode;

// The records a history node lists: first every record whose 类别 equals the node's text
// exactly, then, for a period node, every record that satisfies the period's rule on the
// clock's today. Both passes keep the stored order.
class HistoryListing final
{
public:
    struct Result
    {
        QList<Record> records;
        bool ok = true;
        // The database's reason when the listing failed.
        QString error;
    };

    HistoryListing(RecordStore &store, const Clock &clock);

    Result list(const HistoryNode &node) const;

private:
    RecordStore &m_store;
    const Clock &m_clock;
};
