#include "store/dateperiod.h"

#include <array>

namespace DatePeriods {

namespace {

const std::array<DatePeriod, 7> &table()
{
    static const std::array<DatePeriod, 7> periods{{
        {Period::BeforeLastYear, QStringLiteral("daFront"), QStringLiteral("去年以前")},
        {Period::LastYear, QStringLiteral("daLastYear"), QStringLiteral("去年")},
        {Period::ThisYear, QStringLiteral("daYear"), QStringLiteral("今年")},
        {Period::ThisMonth, QStringLiteral("daMonth"), QStringLiteral("本月")},
        {Period::ThisWeek, QStringLiteral("daWeek"), QStringLiteral("本周")},
        {Period::Yesterday, QStringLiteral("daYesTerDay"), QStringLiteral("昨天")},
        {Period::Today, QStringLiteral("daToDay"), QStringLiteral("今天")},
    }};
    return periods;
}

// Weekday counted Sunday = 1 … Saturday = 7 (Qt counts Monday = 1 … Sunday = 7).
int sundayBasedWeekday(const QDate &date)
{
    return date.dayOfWeek() % 7 + 1;
}

} // namespace

std::span<const DatePeriod> all()
{
    return table();
}

const DatePeriod *byKey(const QString &key)
{
    for (const DatePeriod &period : table())
        if (period.key == key)
            return &period;
    return nullptr;
}

bool contains(Period period, const QDate &recorded, const QDate &today)
{
    if (!recorded.isValid() || !today.isValid())
        return false;
    const qint64 days = recorded.daysTo(today);
    switch (period) {
    case Period::BeforeLastYear:
        return today.year() - recorded.year() > 1;
    case Period::LastYear:
        return today.year() - recorded.year() == 1;
    case Period::ThisYear:
        return recorded.year() == today.year();
    case Period::ThisMonth:
        return recorded.month() == today.month();
    case Period::ThisWeek:
        return days <= sundayBasedWeekday(today);
    case Period::Yesterday:
        return days == 1;
    case Period::Today:
        return recorded == today;
    }
    return false;
}

} // namespace DatePeriods
