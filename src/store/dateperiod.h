#pragma once

#include <QDate>
#include <QString>
#include <span>

// The seven date periods of the history tree. They overlap: each is tested on its own.
enum class Period { BeforeLastYear, LastYear, ThisYear, ThisMonth, ThisWeek, Yesterday, Today };

// A period with the text its history-tree node shows.
struct DatePeriod
{
    Period period;
    QString text;
};

namespace DatePeriods {

// In history-tree order (去年以前 first, 今天 last).
std::span<const DatePeriod> all();

// Whether a record dated `recorded` belongs to the period on `today`. A record without a
// date (invalid QDate) belongs to no period. 本月 ignores the year; 本周 reaches back
// Weekday(today) days (Sunday = 1), inclusive, and takes in dates after today.
bool contains(Period period, const QDate &recorded, const QDate &today);

} // namespace DatePeriods
