#include "historyfixture.h"

#include "history/historylisting.h"
#include "history/historytree.h"
#include "history/recordgridmodel.h"
#include "history/rowmarking.h"
#include "platform/testing/fakeclock.h"

#include <QLocale>

namespace {

QStringList names(const QList<Record> &records)
{
    QStringList out;
    for (const Record &record : records)
        out.append(record.fileName);
    return out;
}

QList<Record> numbered(int count)
{
    QList<Record> records;
    for (int i = 1; i <= count; ++i)
        records.append({i, QStringLiteral("name%1").arg(i), QString::number(i), QStringLiteral("小说"),
                        QDate(2026, 3, i % 28 + 1), QStringLiteral("/n/"), QStringLiteral("https://a.example/%1").arg(i)});
    return records;
}

} // namespace

class TestHistoryListing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_fixture.add(QStringLiteral("r1"), QStringLiteral("小说"), QDate(2026, 3, 1));
        m_fixture.add(QStringLiteral("r2"), QStringLiteral("故事"), QDate(2026, 2, 28));
        m_fixture.add(QStringLiteral("r3"), QStringLiteral("新闻"), QDate(2026, 2, 27));
        m_fixture.add(QStringLiteral("r4"), QStringLiteral("默认文本"), QDate(2025, 12, 31));
        m_fixture.add(QStringLiteral("r5"), QStringLiteral("其它"), QDate(2024, 3, 15));
        m_fixture.add(QStringLiteral("r6"), QStringLiteral("学习资料"), QDate(2027, 1, 5));
        m_fixture.add(QStringLiteral("r8"), QStringLiteral("论文"), QDate(2026, 12, 31));
        m_fixture.addNullRow(QStringLiteral("小说"));
        // Not the category 小说: the comparison takes the whole text.
        m_fixture.add(QStringLiteral("r9"), QStringLiteral("小说 "), QDate(2020, 6, 10));
    }

    void listsEachNode_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("expected");
        const QDate sunday(2026, 3, 1);
        const QDate wednesday(2026, 3, 4);
        const QDate newYear(2027, 1, 1);
        const auto row = [](const char *name, const QDate &today, const char *key, const QStringList &expected) {
            QTest::newRow(name) << today << QString::fromLatin1(key) << expected;
        };
        // Category nodes list by exact 类别; the null row's name reads as empty.
        row("mrwb", sunday, "mrwb", {"r4"});
        row("xxjl", sunday, "xxjl", {"r6"});
        row("lenWen", sunday, "lenWen", {"r8"});
        row("xiaoShuo", sunday, "xiaoShuo", {"r1", ""});
        row("guShi", sunday, "guShi", {"r2"});
        row("yuYuan", sunday, "yuYuan", {});
        row("xinWen", sunday, "xinWen", {"r3"});
        row("shuJu", sunday, "shuJu", {});
        row("duanJu", sunday, "duanJu", {});
        row("qiTa", sunday, "qiTa", {"r5"});
        row("root", sunday, "explor", {});
        row("categories", sunday, "leiBie", {});
        row("periods", sunday, "date", {});
        // A Sunday: 本周 holds Saturday and today, and dates after today.
        row("sunday today", sunday, "daToDay", {"r1"});
        row("sunday yesterday", sunday, "daYesTerDay", {"r2"});
        row("sunday week", sunday, "daWeek", {"r1", "r2", "r6", "r8"});
        row("sunday month", sunday, "daMonth", {"r1", "r5"});
        row("sunday year", sunday, "daYear", {"r1", "r2", "r3", "r8"});
        row("sunday last year", sunday, "daLastYear", {"r4"});
        row("sunday before", sunday, "daFront", {"r5", "r9"});
        // A Wednesday: 本周 reaches back to the Saturday before, inclusive.
        row("wednesday today", wednesday, "daToDay", {});
        row("wednesday yesterday", wednesday, "daYesTerDay", {});
        row("wednesday week", wednesday, "daWeek", {"r1", "r2", "r6", "r8"});
        // A March two years back: in 本月 and in 去年以前.
        row("wednesday month", wednesday, "daMonth", {"r1", "r5"});
        row("wednesday before", wednesday, "daFront", {"r5", "r9"});
        // 1 January: 31 December belongs to yesterday, this week and last year.
        row("new year today", newYear, "daToDay", {});
        row("new year yesterday", newYear, "daYesTerDay", {"r8"});
        row("new year week", newYear, "daWeek", {"r6", "r8"});
        row("new year month", newYear, "daMonth", {"r6"});
        row("new year year", newYear, "daYear", {"r6"});
        row("new year last year", newYear, "daLastYear", {"r1", "r2", "r3", "r8"});
        row("new year before", newYear, "daFront", {"r4", "r5", "r9"});
    }

    void listsEachNode()
    {
        QFETCH(QDate, today);
        QFETCH(QString, key);
        QFETCH(QStringList, expected);
        const FakeClock clock(QDateTime(today, QTime(9, 0)));
        const HistoryNode *node = HistoryTree::byKey(key);
        QVERIFY(node);
        const HistoryListing::Result result = HistoryListing(m_fixture.store(), clock).list(node->key, node->text);
        QVERIFY(result.ok);
        QCOMPARE(names(result.records), expected);
    }

    void reportsADatabaseThatCannotBeRead()
    {
        QTemporaryDir dir;
        RecordStore broken(dir.path());
        const FakeClock clock;
        const HistoryListing::Result result = HistoryListing(broken, clock).list(QStringLiteral("daYear"), QStringLiteral("今年"));
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(result.records.isEmpty());
    }

    void gridGrowsAndShrinksBackToFifteenRows()
    {
        RecordGridModel model;
        QCOMPARE(model.rowCount(), 15);
        QCOMPARE(model.columnCount(), 7);
        QCOMPARE(model.cellText(0, 1), QStringLiteral("文件名"));
        QCOMPARE(model.cellText(0, 2), QStringLiteral("大小(字)"));
        QCOMPARE(model.cellText(0, 6), QStringLiteral("资料来源"));
        QCOMPARE(model.cellText(1, 0), QString());

        model.setListing(numbered(20));
        QCOMPARE(model.rowCount(), 20);
        QCOMPARE(model.cellText(1, 0), QStringLiteral("1"));
        QCOMPARE(model.cellText(20, 0), QStringLiteral("20"));
        QCOMPARE(model.cellText(20, 1), QStringLiteral("name20"));

        model.setListing(numbered(3));
        QCOMPARE(model.rowCount(), 15);
        QCOMPARE(model.cellText(3, 1), QStringLiteral("name3"));
        for (int column = 0; column < 7; ++column)
            QCOMPARE(model.cellText(4, column), QString());
        QCOMPARE(model.listingStatus().files, QStringLiteral("共列 3 个文件"));
        QCOMPARE(model.listingStatus().file, QString());
    }

    void nullColumnsShowEmptyCells()
    {
        RecordGridModel model;
        model.setListing({Record{7, {}, {}, QStringLiteral("小说"), QDate(), {}, {}}});
        QCOMPARE(model.cellText(1, 0), QStringLiteral("1"));
        for (const int column : {1, 2, 4, 5, 6})
            QCOMPARE(model.cellText(1, column), QString());
    }

    // The short date of a Chinese system, whatever the session's language (this runs with
    // LANG=C.UTF-8, and an English default locale on top).
    void datesReadTheChineseWayInAnyLocale()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        RecordGridModel model;
        model.setListing({Record{1, QStringLiteral("a"), {}, QStringLiteral("小说"), QDate(2026, 12, 8), {}, {}},
                          Record{2, QStringLiteral("b"), {}, QStringLiteral("小说"), QDate(2027, 1, 25), {}, {}}});
        const QStringList dates{model.cellText(1, RecordGridModel::Date), model.cellText(2, RecordGridModel::Date)};
        QLocale::setDefault(before);
        QCOMPARE(dates, (QStringList{QStringLiteral("2026/12/8"), QStringLiteral("2027/1/25")}));
    }

    void statusFieldsAndToolTips()
    {
        RecordGridModel model;
        model.setListing(numbered(12));
        const RecordGridModel::Status over5 = model.statusAt(5);
        QCOMPARE(over5.file, QStringLiteral("当前第 5 个文件"));
        QCOMPARE(over5.fileName, QStringLiteral("文件名: name5"));
        QCOMPARE(over5.files, QStringLiteral("共列 12 个文件"));
        for (const int row : {0, 13, 15}) {
            const RecordGridModel::Status empty = model.statusAt(row);
            QVERIFY(empty.file.isEmpty() && empty.fileName.isEmpty() && empty.files.isEmpty());
        }
        QCOMPARE(model.index(4, 1).data(Qt::ToolTipRole).toString(), QStringLiteral("name5"));
        QCOMPARE(model.index(4, 6).data(Qt::ToolTipRole).toString(), QStringLiteral("https://a.example/5"));
        QCOMPARE(model.index(4, 5).data(Qt::ToolTipRole).toString(), QString());
    }

    void markingInBothDirections()
    {
        QCOMPARE((RowMarking{7, 3}.rowsToDelete(9)), (QList<int>{3, 4, 5, 6, 7}));
        QCOMPARE((RowMarking{2, 4}.rowsToDelete(9)), (QList<int>{2, 3, 4}));
        QCOMPARE((RowMarking{5, 5}.rowsToDelete(9)), (QList<int>{9}));
        QCOMPARE((RowMarking{}.rowsToDelete(6)), (QList<int>{6}));
    }

private:
    HistoryFixture m_fixture;
};

QTEST_GUILESS_MAIN(TestHistoryListing)
#include "tst_historylisting.moc"
