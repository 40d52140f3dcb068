#include "history/historylisting.h"

#include "history/historytree.h"
#include "platform/clock.h"
#include "store/dateperiod.h"
#include "store/recordstore.h"

HistoryListing::HistoryListing(RecordStore &store, const Clock &clock)
    : m_store(store)
    , m_clock(clock)
{
}

HistoryListing::Result HistoryListing::list(const HistoryNode &node) const
{
    Result result;
    const auto fail = [this, &result] {
        result.records.clear();
        result.ok = false;
        result.error = m_store.lastError();
        return result;
    };

    // The database compares 类别 exactly (case-sensitive, whole text), as the pass requires.
    if (!m_store.forEachRecordInCategory(node.text, [&](const Record &record) {
            result.records.append(record);
            return true;
        }))
        return fail();

    if (const Period *period = std::get_if<Period>(&node.key)) {
        const QDate today = m_clock.today();
        if (!m_store.forEachRecordInPeriod(*period, today, [&](const Record &record) {
                result.records.append(record);
                return true;
            }))
            return fail();
    }
    return result;
}
