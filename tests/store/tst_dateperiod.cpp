#include "store/category.h"
#include "store/dateperiod.h"

#include <QTest>
using namespace Qt::StringLiterals;


class TestDatePeriod : public QObject
{
    Q_OBJECT

private:
    static bool in(Period period, const QDate &recorded, const QDate &today)
    {
        return DatePeriods::contains(period, recorded, today);
    }

private slots:
    // The tables are in tree order, each entry under its own key (the keys index them).
    void tablesKeepTreeOrderKeysAndButtons()
    {
        QStringList names;
        int position = 0;
        for (const Category &category : Categories::all()) {
            QCOMPARE(int(category.key), position++);
            names << category.name;
        }
        QCOMPARE(names, QStringList({u"默认文本"_s, u"学习资料"_s, u"论文"_s, u"小说"_s, u"故事"_s, u"寓言"_s, u"新闻"_s,
                                     u"数据"_s, u"短句"_s, u"其它"_s}));
        QCOMPARE(Categories::all()[int(CategoryKey::Novel)].name, QStringLiteral("小说"));
        QCOMPARE(Categories::byButton(5)->name, QStringLiteral("学习资料"));
        QCOMPARE(Categories::byButton(4)->name, QStringLiteral("新闻"));
        QCOMPARE(Categories::byButton(9)->key, CategoryKey::Other);
        QCOMPARE(Categories::defaultName(), QStringLiteral("默认文本"));

        QStringList periods;
        position = 0;
        for (const DatePeriod &period : DatePeriods::all()) {
            QCOMPARE(int(period.period), position++);
            periods << period.text;
        }
        QCOMPARE(periods, QStringList({u"去年以前"_s, u"去年"_s, u"今年"_s, u"本月"_s, u"本周"_s, u"昨天"_s, u"今天"_s}));
    }

    void recordOfTodayBelongsToItsFourPeriods()
    {
        const QDate today(2026, 12, 9);  // a Wednesday
        QVERIFY(in(Period::Today, today, today));
        QVERIFY(in(Period::ThisWeek, today, today));
        QVERIFY(in(Period::ThisMonth, today, today));
        QVERIFY(in(Period::ThisYear, today, today));
        QVERIFY(!in(Period::Yesterday, today, today));
        QVERIFY(!in(Period::LastYear, today, today));
        QVERIFY(!in(Period::BeforeLastYear, today, today));
    }

    void weekReachesBackWeekdayDaysInclusive_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("daysInWeek");  // the oldest day, counted back, still in 本周
        QTest::newRow("sunday") << QDate(2026, 12, 6) << 1;
        QTest::newRow("wednesday") << QDate(2026, 12, 9) << 4;
        QTest::newRow("saturday") << QDate(2026, 12, 12) << 7;
    }
    void weekReachesBackWeekdayDaysInclusive()
    {
        QFETCH(QDate, today);
        QFETCH(int, daysInWeek);
        QVERIFY(in(Period::ThisWeek, today.addDays(-daysInWeek), today));
        QVERIFY(!in(Period::ThisWeek, today.addDays(-daysInWeek - 1), today));
    }

    void sundayHoldsSaturdayAsYesterdayAndThisWeek()
    {
        const QDate sunday(2026, 12, 6);
        QVERIFY(in(Period::Yesterday, sunday.addDays(-1), sunday));
        QVERIFY(in(Period::ThisWeek, sunday.addDays(-1), sunday));
    }

    void futureDatesFallInThisWeek()
    {
        const QDate today(2026, 12, 9);
        QVERIFY(in(Period::ThisWeek, today.addDays(30), today));
        QVERIFY(!in(Period::Yesterday, today.addDays(30), today));
    }

    void monthIgnoresTheYearAndYearsCompareCalendarYears()
    {
        const QDate today(2026, 3, 15);
        const QDate twoYearsBack(2024, 3, 2);
        QVERIFY(in(Period::ThisMonth, twoYearsBack, today));
        QVERIFY(in(Period::BeforeLastYear, twoYearsBack, today));
        QVERIFY(!in(Period::LastYear, twoYearsBack, today));

        const QDate newYear(2027, 1, 1);
        QVERIFY(in(Period::LastYear, QDate(2026, 12, 31), newYear));
        QVERIFY(in(Period::Yesterday, QDate(2026, 12, 31), newYear));
        QVERIFY(!in(Period::ThisYear, QDate(2026, 12, 31), newYear));
    }

    void undatedRecordBelongsToNoPeriod()
    {
        for (const DatePeriod &period : DatePeriods::all())
            QVERIFY(!in(period.period, QDate(), QDate(2026, 12, 9)));
    }
};

QTEST_GUILESS_MAIN(TestDatePeriod)
#include "tst_dateperiod.moc"
