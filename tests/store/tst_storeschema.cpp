#include "common/gbktextfile.h"
#include "store/indexfile.h"
#include "store/recordstore.h"
#include "store/searchindex.h"
#include "store/storeschema.h"
#include "support/foreignconnection.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray digestOf(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

int userVersion(const QString &path)
{
    ForeignConnection raw(path);
    QSqlQuery query = raw.query();
    return query.exec(QStringLiteral("PRAGMA user_version")) && query.next() ? query.value(0).toInt() : -1;
}

// Every row of filedata, every column as SQLite holds it (NULL apart from the empty text).
QStringList rawRows(const QString &path)
{
    ForeignConnection raw(path);
    QSqlQuery query = raw.query();
    QStringList rows;
    query.exec(QStringLiteral("SELECT rowid, * FROM filedata ORDER BY rowid"));
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < 7; ++i)
            values << (query.isNull(i) ? QStringLiteral("<NULL>") : query.value(i).toString());
        rows << values.join(u'|');
    }
    return rows;
}

} // namespace

class TestStoreSchema : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString folder() const { return m_dir->path() + u'/'; }
    QString dbPath() const { return m_dir->filePath(QStringLiteral("filelist.db")); }
    QString indexPath() const { return SearchIndex::pathFor(dbPath()); }

    void copyLanded()
    {
        const QString data = QStringLiteral(NOTAVO_STORE_TEST_DATA);
        QVERIFY(QFile::copy(data + QStringLiteral("/landed-filelist.db"), dbPath()));
        QVERIFY(QFile::copy(data + QStringLiteral("/landed-filesearch.db"), indexPath()));
        QVERIFY(QFile::setPermissions(dbPath(), QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(indexPath(), QFile::ReadOwner | QFile::WriteOwner));
    }

    bool capture(RecordStore &store, const QString &name, const QString &text)
    {
        return GbkTextFile::write(folder() + name + QStringLiteral(".txt"), text)
            && store.addFileData({name, QString::number(text.size()), QStringLiteral("默认文本"), folder(), {}},
                                 QDate(2026, 12, 8), text);
    }

    static QStringList found(RecordStore &store, const QString &query)
    {
        QStringList names;
        if (!store.forEachRecordContaining(query, [&names](const Record &record) {
                names.append(record.fileName);
                return true;
            }))
            names << QStringLiteral("error: ") + store.lastError();
        return names;
    }

    static bool pass(RecordStore &store)
    {
        int indexed = 0;
        int unreadable = 0;
        return store.indexPendingRecords([] { return true; }, &indexed, &unreadable);
    }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { m_dir.reset(); }

    void landedFilesAreMigratedAndKeepTheirRows()
    {
        copyLanded();
        const QStringList rowsBefore = rawRows(dbPath());
        QCOMPARE(rowsBefore.size(), 3);
        QCOMPARE(userVersion(dbPath()), 0);
        {
            RecordStore store(dbPath());
            QVERIFY2(store.records().has_value(), qPrintable(store.lastError()));
            // The landed index filed 蝴蝶 under the number 秋天 took: none of it is trusted.
            QCOMPARE(found(store, QStringLiteral("蝴蝶")), QStringList());
            QVERIFY(capture(store, QStringLiteral("新记录"), QStringLiteral("蝴蝶又飞来了")));
            QCOMPARE(found(store, QStringLiteral("蝴蝶")), QStringList{QStringLiteral("新记录")});
        }
        QCOMPARE(userVersion(dbPath()), StoreSchema::kRecordsVersion);
        QCOMPARE(userVersion(indexPath()), StoreSchema::kIndexVersion);
        // filedata is the table older copies and the sqlite3 shell know, with the same values.
        const QStringList rowsAfter = rawRows(dbPath());
        QCOMPARE(rowsAfter.mid(0, 3), rowsBefore);
        ForeignConnection raw(dbPath());
        QSqlQuery query = raw.query();
        QVERIFY(query.exec(QStringLiteral("SELECT sql FROM sqlite_schema")));
        QStringList schema;
        while (query.next())
            schema << query.value(0).toString();
        QCOMPARE(schema.size(), 1);
        QVERIFY(schema.first().contains(QStringLiteral("\"资料来源\" TEXT)")));
        // An older copy writes its row as it always did.
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO filedata VALUES ('旧版', '1', '小说', '2026-12-08', '/x/', '')")));
    }

    // An older copy run in between makes its tables again and files its words from number 1.
    void olderCopyInBetweenLeavesNoWrongResult()
    {
        {
            RecordStore store(dbPath());
            QVERIFY(capture(store, QStringLiteral("甲"), QStringLiteral("春天来了")));
        }
        {
            ForeignConnection older(indexPath());
            QVERIFY(older.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS indexed (id INTEGER PRIMARY KEY, "
                                              "recordId INTEGER UNIQUE, path TEXT, size INTEGER, modified INTEGER)")));
            QVERIFY(older.exec(QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS words USING fts5(tokens, content='', "
                                              "columnsize=0, tokenize='unicode61 remove_diacritics 0')")));
            QVERIFY(older.exec(QStringLiteral("INSERT INTO words (rowid, tokens) VALUES (1, '蝴蝶 蝶')")));
        }
        RecordStore store(dbPath());
        QCOMPARE(found(store, QStringLiteral("蝴蝶")), QStringList());
        QCOMPARE(found(store, QStringLiteral("春天")), QStringList{QStringLiteral("甲")});
        ForeignConnection raw(indexPath());
        QSqlQuery query = raw.query();
        QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE name IN ('indexed', 'words')")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 0);
    }

    void fileFromANewerNotavoIsOnlyRead()
    {
        copyLanded();
        {
            ForeignConnection raw(dbPath());
            QVERIFY(raw.exec(QStringLiteral("PRAGMA user_version = 99")));
        }
        const QByteArray before = digestOf(dbPath());
        const QByteArray indexBefore = digestOf(indexPath());
        {
            RecordStore store(dbPath());
            const auto rows = store.records();
            QVERIFY2(rows.has_value(), qPrintable(store.lastError()));
            QCOMPARE(rows->size(), 3);
            QVERIFY(store.isReadOnly());
            QVERIFY(!store.addFileData({QStringLiteral("甲"), {}, {}, folder(), {}}, QDate(2026, 12, 8)));
            QVERIFY(store.lastError().contains(QStringLiteral("较新版本")));
            QVERIFY(!store.removeRecord(rows->first().rowId));
            QVERIFY(!store.forEachRecordContaining(QStringLiteral("春天"), [](const Record &) { return true; }));
        }
        QCOMPARE(digestOf(dbPath()), before);
        QCOMPARE(digestOf(indexPath()), indexBefore);

        // A newer index beside a current record database is left alone as well.
        {
            ForeignConnection raw(dbPath());
            QVERIFY(raw.exec(QStringLiteral("PRAGMA user_version = 0")));
        }
        {
            ForeignConnection raw(indexPath());
            QVERIFY(raw.exec(QStringLiteral("PRAGMA user_version = 99")));
        }
        const QByteArray newerIndex = digestOf(indexPath());
        RecordStore store(dbPath());
        QVERIFY(capture(store, QStringLiteral("乙"), QStringLiteral("内容")));
        QVERIFY(!store.forEachRecordContaining(QStringLiteral("内容"), [](const Record &) { return true; }));
        QVERIFY(store.lastError().contains(QStringLiteral("较新版本")));
        QVERIFY(store.lastError().contains(QStringLiteral("filesearch.db")));
        QCOMPARE(digestOf(indexPath()), newerIndex);
    }

    void damagedIndexIsSetAsideAndRebuilt_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("garbage") << "garbage";
        QTest::newRow("half length") << "half";
    }

    void damagedIndexIsSetAsideAndRebuilt()
    {
        QFETCH(QString, damage);
        {
            RecordStore store(dbPath());
            for (int i = 0; i < 200; ++i)
                QVERIFY(capture(store, QStringLiteral("记录%1").arg(i), QStringLiteral("第%1篇 春天的花 %2").arg(i).arg(QString(u'字').repeated(i))));
        }
        QFile index(indexPath());
        if (damage == QStringLiteral("garbage")) {
            QVERIFY(index.open(QIODevice::WriteOnly));
            index.write(QByteArray(20000, 'x'));
        } else {
            QVERIFY(index.size() > 8192);
            QVERIFY(index.resize(index.size() / 2));
        }
        index.close();

        RecordStore store(dbPath());
        // A capture stores whatever became of the index.
        QVERIFY2(capture(store, QStringLiteral("新"), QStringLiteral("新的春天")), qPrintable(store.lastError()));
        QVERIFY(QFile::exists(IndexFile::asideName(indexPath())));
        QCOMPARE(found(store, QStringLiteral("新的")), QStringList{QStringLiteral("新")});
        const QString notice = store.takeSearchNotice();
        QVERIFY2(notice.contains(QStringLiteral("filesearch.db")) && notice.contains(QStringLiteral("已损坏")),
                 qPrintable(notice));
        QVERIFY(!notice.contains(QStringLiteral("filelist.db")));
        QVERIFY(store.takeSearchNotice().isEmpty()); // said once

        QVERIFY(pass(store));
        QCOMPARE(found(store, QStringLiteral("春天")).size(), 201);
        QCOMPARE(found(store, QStringLiteral("第17篇")), QStringList{QStringLiteral("记录17")});
    }

    void lockedIndexMissesNoCapture()
    {
        RecordStore store(dbPath());
        int behind = 0;
        store.setIndexBehindHandler([&behind] { ++behind; });
        QVERIFY(capture(store, QStringLiteral("甲"), QStringLiteral("第一篇")));
        {
            // Another program holds the index for writing longer than a capture waits.
            ForeignConnection other(indexPath());
            QVERIFY(other.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            QVERIFY2(capture(store, QStringLiteral("乙"), QStringLiteral("第二篇")), qPrintable(store.lastError()));
            QVERIFY(behind > 0);
            const QString notice = store.takeSearchNotice();
            QVERIFY2(notice.contains(QStringLiteral("filesearch.db")) && notice.contains(QStringLiteral("无法写入")),
                     qPrintable(notice));
            QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
        }
        QCOMPARE(found(store, QStringLiteral("第二")), QStringList());
        QVERIFY(pass(store));
        QCOMPARE(found(store, QStringLiteral("第二")), QStringList{QStringLiteral("乙")});
        QCOMPARE(found(store, QStringLiteral("篇")), (QStringList{QStringLiteral("甲"), QStringLiteral("乙")}));
    }
};

QTEST_GUILESS_MAIN(TestStoreSchema)
#include "tst_storeschema.moc"
