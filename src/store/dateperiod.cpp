#include "store/dateperiod.h"

#include <array>

namespace DatePeriods {

namespace {

const std::array<DatePeriod, 7> &table()
{
    static const std::array<DatePeriod, 7> periods{{
        {Period::BeforeLastYear, QStringLiteral("去年以前")},
        {Period::LastYear, QStringLiteral("去年")},
        {Period::ThisYear, QStringLiteral("今年")},
        {Period::ThisMonth, QStringLiteral("本月")},
        {Period::ThisWeek, QStringLiteral("本周")},
        {Period::Yesterday, QStringLiteral("昨天")},
        {Period::Today, QStringLiteral("今天")},
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
