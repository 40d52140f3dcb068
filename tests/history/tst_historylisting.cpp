#include "historyfixture.h"

#include "history/historylisting.h"
#include "history/historytree.h"
#include "history/recordgridmodel.h"
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

QString text(const RecordGridModel &model, int row, int column)
{
    return model.index(row, column).data().toString();
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
        QTest::addColumn<int>("node");
        QTest::addColumn<QStringList>("expected");
        const QDate sunday(2026, 3, 1);
        const QDate wednesday(2026, 3, 4);
        const QDate newYear(2027, 1, 1);
        const auto row = [](const char *name, const QDate &today, const HistoryNodeKey &key,
                            std::initializer_list<const char *> expected) {
            QStringList names;
            for (const char *expectedName : expected)
                names << QString::fromUtf8(expectedName);
            QTest::newRow(name) << today << HistoryTree::indexOf(key) << names;
        };
        // Category nodes list by exact 类别; the null row's name reads as empty.
        row("默认文本", sunday, CategoryKey::DefaultText, {"r4"});
        row("学习资料", sunday, CategoryKey::StudyMaterial, {"r6"});
        row("论文", sunday, CategoryKey::Paper, {"r8"});
        row("小说", sunday, CategoryKey::Novel, {"r1", ""});
        row("故事", sunday, CategoryKey::Story, {"r2"});
        row("寓言", sunday, CategoryKey::Fable, {});
        row("新闻", sunday, CategoryKey::News, {"r3"});
        row("数据", sunday, CategoryKey::Data, {});
        row("短句", sunday, CategoryKey::ShortSentence, {});
        row("其它", sunday, CategoryKey::Other, {"r5"});
        row("root", sunday, HistoryFolder::Root, {});
        row("categories", sunday, HistoryFolder::Categories, {});
        row("periods", sunday, HistoryFolder::Periods, {});
        // A Sunday: 本周 holds Saturday and today, and dates after today.
        row("sunday today", sunday, Period::Today, {"r1"});
        row("sunday yesterday", sunday, Period::Yesterday, {"r2"});
        row("sunday week", sunday, Period::ThisWeek, {"r1", "r2", "r6", "r8"});
        row("sunday month", sunday, Period::ThisMonth, {"r1", "r5"});
        row("sunday year", sunday, Period::ThisYear, {"r1", "r2", "r3", "r8"});
        row("sunday last year", sunday, Period::LastYear, {"r4"});
        row("sunday before", sunday, Period::BeforeLastYear, {"r5", "r9"});
        // A Wednesday: 本周 reaches back to the Saturday before, inclusive.
        row("wednesday today", wednesday, Period::Today, {});
        row("wednesday yesterday", wednesday, Period::Yesterday, {});
        row("wednesday week", wednesday, Period::ThisWeek, {"r1", "r2", "r6", "r8"});
        // A March two years back: in 本月 and in 去年以前.
        row("wednesday month", wednesday, Period::ThisMonth, {"r1", "r5"});
        row("wednesday before", wednesday, Period::BeforeLastYear, {"r5", "r9"});
        // 1 January: 31 December belongs to yesterday, this week and last year.
        row("new year today", newYear, Period::Today, {});
        row("new year yesterday", newYear, Period::Yesterday, {"r8"});
        row("new year week", newYear, Period::ThisWeek, {"r6", "r8"});
        row("new year month", newYear, Period::ThisMonth, {"r6"});
        row("new year year", newYear, Period::ThisYear, {"r6"});
        row("new year last year", newYear, Period::LastYear, {"r1", "r2", "r3", "r8"});
        row("new year before", newYear, Period::BeforeLastYear, {"r4", "r5", "r9"});
    }

    void listsEachNode()
    {
        QFETCH(QDate, today);
        QFETCH(int, node);
        QFETCH(QStringList, expected);
        const FakeClock clock(QDateTime(today, QTime(9, 0)));
        QVERIFY(node >= 0);
        const HistoryListing::Result result = HistoryListing(m_fixture.store(), clock).list(HistoryTree::nodes().at(node));
        QVERIFY(result.ok);
        QCOMPARE(names(result.records), expected);
    }

    void reportsADatabaseThatCannotBeRead()
    {
        QTemporaryDir dir;
        RecordStore broken(dir.path());
        const FakeClock clock;
        const HistoryListing::Result result = HistoryListing(broken, clock).list(HistoryTree::nodes().at(HistoryTree::indexOf(Period::ThisYear)));
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(result.records.isEmpty());
    }

    // The tree: twenty nodes in screen order, each under its parent, categories by the names
    // stored in 类别.
    void treeHoldsTheCategoriesAndPeriodsInOrder()
    {
        const QList<HistoryNode> &nodes = HistoryTree::nodes();
        QCOMPARE(nodes.size(), 20);
        QStringList texts;
        for (const HistoryNode &node : nodes)
            texts << nodes.value(node.parent).text + u'/' + node.text;
        QCOMPARE(texts.join(u' '), QStringLiteral("/虚拟文件夹 虚拟文件夹/类别 类别/默认文本 类别/学习资料 类别/论文 类别/小说 "
                                                  "类别/故事 类别/寓言 类别/新闻 类别/数据 类别/短句 类别/其它 虚拟文件夹/时间 "
                                                  "时间/去年以前 时间/去年 时间/今年 时间/本月 时间/本周 时间/昨天 时间/今天"));
        QCOMPARE(nodes.at(HistoryTree::indexOf(CategoryKey::Novel)).text, QStringLiteral("小说"));
        QCOMPARE(nodes.at(HistoryTree::indexOf(Period::Yesterday)).text, QStringLiteral("昨天"));
        QCOMPARE(nodes.at(0).image, nodes.at(0).selectedImage);
        QCOMPARE(nodes.at(HistoryTree::indexOf(Period::Today)).selectedImage, QStringLiteral("fileOn"));
    }

    // One row per listed record, numbered from 1, under the six titles; an empty listing has no rows.
    void gridHasOneRowPerListedRecord()
    {
        RecordGridModel model;
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 7);
        QStringList titles;
        for (int column = 0; column < model.columnCount(); ++column)
            titles << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(titles, (QStringList{QString(), QStringLiteral("文件名"), QStringLiteral("大小(字)"), QStringLiteral("类别"),
                                      QStringLiteral("记录时间"), QStringLiteral("存放地址"), QStringLiteral("资料来源")}));

        model.setListing(numbered(20));
        QCOMPARE(model.rowCount(), 20);
        QCOMPARE(text(model, 0, 0), QStringLiteral("1"));
        QCOMPARE(text(model, 19, 0), QStringLiteral("20"));
        QCOMPARE(text(model, 19, 1), QStringLiteral("name20"));

        model.setListing(numbered(3));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(text(model, 2, 1), QStringLiteral("name3"));
        QCOMPARE(model.listingStatus().files, QStringLiteral("共列 3 个文件"));
        QCOMPARE(model.listingStatus().file, QString());
        model.setListing({});
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.listingStatus().files, QStringLiteral("共列 0 个文件"));
    }

    // A deleted record's row goes; the others keep their numbers and the count stays that of
    // the listing until the next one.
    void removedRowKeepsTheNumbersAndTheCount()
    {
        RecordGridModel model;
        model.setListing(numbered(5));
        QVERIFY(model.removeRecord(2));
        QVERIFY(!model.removeRecord(2));
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(text(model, 1, 0), QStringLiteral("3"));
        QCOMPARE(text(model, 1, 1), QStringLiteral("name3"));
        QCOMPARE(model.recordAt(1).rowId, 3);
        QCOMPARE(model.statusAt(1).file, QStringLiteral("当前第 3 个文件"));
        QCOMPARE(model.statusAt(1).files, QStringLiteral("共列 5 个文件"));
        QCOMPARE(model.listingStatus().files, QStringLiteral("共列 5 个文件"));
    }

    void nullColumnsShowEmptyCells()
    {
        RecordGridModel model;
        model.setListing({Record{7, {}, {}, QStringLiteral("小说"), QDate(), {}, {}}});
        QCOMPARE(text(model, 0, 0), QStringLiteral("1"));
        for (const int column : {1, 2, 4, 5, 6})
            QCOMPARE(text(model, 0, column), QString());
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
        const QStringList dates{text(model, 0, RecordGridModel::Date), text(model, 1, RecordGridModel::Date)};
        QLocale::setDefault(before);
        QCOMPARE(dates, (QStringList{QStringLiteral("2026/12/8"), QStringLiteral("2027/1/25")}));
    }

    void statusFieldsAndToolTips()
    {
        RecordGridModel model;
        model.setListing(numbered(12));
        const RecordGridModel::Status over5 = model.statusAt(4);
        QCOMPARE(over5.file, QStringLiteral("当前第 5 个文件"));
        QCOMPARE(over5.fileName, QStringLiteral("文件名: name5"));
        QCOMPARE(over5.files, QStringLiteral("共列 12 个文件"));
        for (const int row : {-1, 12, 15}) {
            const RecordGridModel::Status empty = model.statusAt(row);
            QVERIFY(empty.file.isEmpty() && empty.fileName.isEmpty() && empty.files.isEmpty());
        }
        QCOMPARE(model.index(4, 1).data(Qt::ToolTipRole).toString(), QStringLiteral("name5"));
        QCOMPARE(model.index(4, 6).data(Qt::ToolTipRole).toString(), QStringLiteral("https://a.example/5"));
        QCOMPARE(model.index(4, 5).data(Qt::ToolTipRole).toString(), QString());
    }

private:
    HistoryFixture m_fixture;
};

QTEST_GUILESS_MAIN(TestHistoryListing)
#include "tst_historylisting.moc"
