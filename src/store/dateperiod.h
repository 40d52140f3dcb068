#pragma once

#include <QDate>
#include <QString>
#include <span>

// The seven date periods of the history tree. They overlap: each is tested on its own.
enum class Period { BeforeLastYear, LastYear, ThisYear, ThisMonth, ThisWeek, Yesterday, Today };

struct DatePeriod
{
    Period period;
    QString key;
    QString text;
};

namespace DatePeriods {

// In history-tree order (去年以前 first, 今天 last).
std::span<const DatePeriod> all();
const DatePeriod *byKey(const QString &key);

// Whether a record dated `recorded` belongs to the period on `today`. A record without a
// date (invalid QDate) belongs to no period. 本月 ignores the year; 本周 reaches back
// Weekday(today) days (Sunday = 1), inclusive, and takes in dates after today.
bool contains(Period period, const QDate &recorded, const QDate &today);

} // namespace DatePeriods
