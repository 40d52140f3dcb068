#include "store/recordstore.h"
#include "support/foreignconnection.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

CurrentRecord current(const QString &name, const QString &category = QStringLiteral("小说"))
{
    return {name, QStringLiteral("12"), category, QStringLiteral("/notes/"), QStringLiteral("http://a.example/")};
}

} // namespace

class TestRecordStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString dbPath(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void missingDatabaseIsCreatedWithTheSixColumnsInOrder()
    {
        const QString path = dbPath("new.db");
        {
            RecordStore store(path);
            const auto rows = store.records();
            QVERIFY2(rows.has_value(), qPrintable(store.lastError()));
            QVERIFY(rows->isEmpty());
        }
        ForeignConnection raw(path);
        QSqlQuery query = raw.query();
        QVERIFY(query.exec(QStringLiteral("PRAGMA table_info(filedata)")));
        QStringList columns;
        while (query.next())
            columns << query.value(1).toString();
        QCOMPARE(columns, QStringList({u"文件名"_s, u"大小"_s, u"类别"_s, u"记录时间"_s, u"存放地址"_s, u"资料来源"_s}));
    }

    void addedRowsComeBackInStoredOrderWithTheirDate()
    {
        RecordStore store(dbPath("order.db"));
        const QDate today(2026, 12, 7);
        QVERIFY(store.addFileData(current(QStringLiteral("乙")), today));
        QVERIFY(store.addFileData(current(QStringLiteral("甲"), QStringLiteral("默认文本")), today.addDays(-1)));
        CurrentRecord empty;  // never-set values are stored as empty texts
        QVERIFY(store.addFileData(empty, today));

        const auto rows = store.records();
        QVERIFY(rows.has_value());
        QCOMPARE(rows->size(), 3);
        QCOMPARE(rows->at(0).fileName, QStringLiteral("乙"));
        QCOMPARE(rows->at(0).size, QStringLiteral("12"));
        QCOMPARE(rows->at(0).category, QStringLiteral("小说"));
        QCOMPARE(rows->at(0).date, today);
        QCOMPARE(rows->at(0).folder, QStringLiteral("/notes/"));
        QCOMPARE(rows->at(0).source, QStringLiteral("http://a.example/"));
        QCOMPARE(rows->at(1).fileName, QStringLiteral("甲"));
        QCOMPARE(rows->at(1).date, today.addDays(-1));
        QVERIFY(rows->at(0).rowId < rows->at(1).rowId);

        ForeignConnection raw(store.databasePath());
        QSqlQuery query = raw.query();
        QVERIFY(query.exec(QStringLiteral("SELECT \"记录时间\", \"文件名\" IS NULL FROM filedata")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("2026-12-07"));
        QVERIFY(query.next() && query.next());
        QCOMPARE(query.value(1).toInt(), 0);
    }

    // Two rows share a name: removing one by its row id leaves the other, wherever it stands.
    void removeTakesTheChosenRowAmongDuplicates()
    {
        RecordStore store(dbPath("dupes.db"));
        for (const char *folder : {"/one/", "/two/", "/three/"}) {
            CurrentRecord record = current(QStringLiteral("同名"));
            record.recFolder = QString::fromLatin1(folder);
            QVERIFY(store.addFileData(record, QDate(2026, 1, 1)));
        }
        const auto rows = store.records();
        QVERIFY(store.removeRecord(rows->at(1).rowId));
        QVERIFY(store.removeRecord(rows->at(0).rowId));
        const auto left = store.records();
        QCOMPARE(left->size(), 1);
        QCOMPARE(left->at(0).folder, QStringLiteral("/three/"));
        QCOMPARE(left->at(0).rowId, rows->at(2).rowId);
    }

    // A source found after its capture was stored goes into that row alone; a row deleted
    // meanwhile is left deleted.
    void sourceFoundLaterGoesIntoItsRowOnly()
    {
        RecordStore store(dbPath("source.db"));
        qint64 first = 0;
        qint64 second = 0;
        QVERIFY(store.addFileData(current(QStringLiteral("甲")), QDate(2026, 1, 1), QStringLiteral("甲"), &first));
        QVERIFY(store.addFileData(current(QStringLiteral("乙")), QDate(2026, 1, 1), QStringLiteral("乙"), &second));
        QVERIFY(first != second);
        QVERIFY(store.setSource(second, QStringLiteral("http://b.example/页")));
        const auto rows = store.records();
        QCOMPARE(rows->at(0).source, QStringLiteral("http://a.example/"));
        QCOMPARE(rows->at(1).source, QStringLiteral("http://b.example/页"));
        QCOMPARE(rows->at(1).fileName, QStringLiteral("乙"));

        QVERIFY(store.removeRecord(first));
        QVERIFY(store.setSource(first, QStringLiteral("http://late.example/")));
        QCOMPARE(store.records()->size(), 1);
    }

    void periodListingMatchesTheRuleForEveryDate()
    {
        const QString path = dbPath("periods.db");
        RecordStore store(path);
        QVERIFY(store.records().has_value());
        {
            // Every day of three years, in one transaction.
            ForeignConnection raw(path);
            QVERIFY(raw.query().exec(QStringLiteral("BEGIN")));
            QSqlQuery insert = raw.query();
            insert.prepare(QStringLiteral("INSERT INTO filedata VALUES (?, '', '', ?, '', '')"));
            for (QDate date(2024, 1, 1); date < QDate(2027, 3, 1); date = date.addDays(1)) {
                insert.addBindValue(date.toString(Qt::ISODate));
                insert.addBindValue(date.toString(Qt::ISODate));
                QVERIFY(insert.exec());
            }
            QVERIFY(raw.query().exec(QStringLiteral("COMMIT")));
            QVERIFY(raw.query().exec(QStringLiteral("INSERT INTO filedata VALUES ('undated', '', '', NULL, '', '')")));
            QVERIFY(raw.query().exec(QStringLiteral("INSERT INTO filedata VALUES ('bad', '', '', 'soon', '', '')")));
        }
        const auto all = store.records();
        QVERIFY(all.has_value());
        // A Sunday, a Wednesday, New Year's Day and a Saturday in March.
        for (const QDate &today : {QDate(2026, 12, 6), QDate(2026, 12, 9), QDate(2027, 1, 1), QDate(2026, 3, 14)}) {
            for (const DatePeriod &period : DatePeriods::all()) {
                QStringList expected;
                for (const Record &record : *all)
                    if (DatePeriods::contains(period.period, record.date, today))
                        expected << record.fileName;
                QStringList listed;
                QVERIFY(store.forEachRecordInPeriod(period.period, today, [&listed](const Record &record) {
                    listed << record.fileName;
                    return true;
                }));
                QVERIFY2(listed == expected, qPrintable(period.text + u' ' + today.toString(Qt::ISODate)));
            }
        }
    }

    void nullColumnsReadAsEmpty()
    {
        const QString path = dbPath("nulls.db");
        {
            RecordStore store(path);
            QVERIFY(store.records().has_value());
        }
        {
            ForeignConnection raw(path);
            QVERIFY(raw.query().exec(QStringLiteral("INSERT INTO filedata VALUES (NULL, NULL, NULL, NULL, NULL, NULL)")));
        }
        RecordStore store(path);
        const auto rows = store.records();
        QVERIFY(rows.has_value());
        QCOMPARE(rows->size(), 1);
        QVERIFY(rows->at(0).fileName.isEmpty());
        QVERIFY(!rows->at(0).date.isValid());
    }

    void aFileThatIsNotADatabaseIsAnErrorNotACrash()
    {
        const QString path = dbPath("garbage.db");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();

        RecordStore store(path);
        QVERIFY(!store.records().has_value());
        QVERIFY2(store.lastError().contains(QStringLiteral("不是数据库")), qPrintable(store.lastError()));
        QVERIFY(!store.addFileData(current(QStringLiteral("a")), QDate(2026, 1, 1)));
        QVERIFY(!store.forEachRecordInCategory(QStringLiteral("小说"), [](const Record &) { return true; }));
        QVERIFY(!store.removeRecord(1));
        QCOMPARE(file.size(), 4096);  // the foreign file is left as it was
    }

    void aDatabaseLockedByAnotherProgramIsAnError()
    {
        const QString path = dbPath("locked.db");
        {
            RecordStore store(path);
            QVERIFY(store.records().has_value());
        }
        ForeignConnection raw(path);
        QSqlQuery lock = raw.query();
        QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));

        RecordStore store(path);
        QVERIFY(!store.addFileData(current(QStringLiteral("a")), QDate(2026, 1, 1)));
        QVERIFY2(store.lastError().contains(QStringLiteral("锁定")), qPrintable(store.lastError()));
        QVERIFY(lock.exec(QStringLiteral("COMMIT")));
        QVERIFY2(store.addFileData(current(QStringLiteral("a")), QDate(2026, 1, 1)), qPrintable(store.lastError()));
    }

    // Tables made by another program: the six columns first and in order work (a zero-length
    // file is an empty database), anything else is refused in words that name the file.
    void tableFormIsCheckedBeforeUse()
    {
        const QString empty = dbPath("empty.db");
        QVERIFY(QFile(empty).open(QIODevice::WriteOnly));
        QVERIFY(RecordStore(empty).addFileData(current(QStringLiteral("a")), QDate(2026, 1, 1)));

        const QString six = QStringLiteral("\"文件名\", \"大小\", \"类别\", \"记录时间\", \"存放地址\", \"资料来源\"");
        const QString extra = dbPath("extra.db");
        const QString swapped = dbPath("swapped.db");
        {
            ForeignConnection foreign(extra);
            QVERIFY(foreign.exec(QStringLiteral("CREATE TABLE filedata (%1, \"备注\")").arg(six)));
        }
        {
            ForeignConnection foreign(swapped);
            QVERIFY(foreign.exec(QStringLiteral("CREATE TABLE filedata (\"大小\", \"文件名\", \"类别\", \"记录时间\", \"存放地址\", \"资料来源\")")));
        }
        RecordStore extraStore(extra);
        QVERIFY(extraStore.addFileData(current(QStringLiteral("a")), QDate(2026, 1, 1)));
        QCOMPARE(extraStore.records()->at(0).source, QStringLiteral("http://a.example/"));
        RecordStore swappedStore(swapped);
        QVERIFY(!swappedStore.records().has_value());
        QVERIFY2(swappedStore.lastError().contains(QStringLiteral("不是预期的格式")), qPrintable(swappedStore.lastError()));
        QVERIFY(swappedStore.lastError().contains(QDir::toNativeSeparators(swapped)));
    }

    void aDatabaseInAMissingFolderIsAnError()
    {
        RecordStore store(dbPath("no/such/folder/filelist.db"));
        QVERIFY(!store.records().has_value());
        QVERIFY(!store.lastError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecordStore)
#include "tst_recordstore.moc"
