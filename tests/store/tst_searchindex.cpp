#include "common/gbktextfile.h"
#include "store/recordrebuilder.h"
#include "store/recordstore.h"
#include "store/searchindex.h"
#include "store/searchtokens.h"
#include "store/storeworker.h"
#include "support/foreignconnection.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

class TestSearchIndex : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RecordStore> m_store;
    int m_indexed = 0;
    int m_unreadable = 0;

    QString folder() const { return m_dir->path() + u'/'; }
    QString dbPath() const { return m_dir->filePath(QStringLiteral("filelist.db")); }

    // Writes the record's file, then adds its row, as a capture does.
    void capture(const QString &name, const QString &text)
    {
        QVERIFY(GbkTextFile::write(folder() + name + QStringLiteral(".txt"), text));
        QVERIFY(m_store->addFileData({name, QString::number(text.size()), QStringLiteral("默认文本"), folder(), {}},
                                     QDate(2024, 5, 1)));
    }

    // The first row of that name, in stored order.
    std::optional<Record> named(const QString &name)
    {
        std::optional<Record> first;
        m_store->forEachRecord([&](const Record &record) {
            if (record.fileName == name)
                first = record;
            return !first;
        });
        return first;
    }

    QStringList found(const QString &query)
    {
        QStringList names;
        if (!m_store->forEachRecordContaining(query, [&names](const Record &record) {
                names.append(record.fileName);
                return true;
            }))
            qWarning() << m_store->lastError();
        return names;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_store = std::make_unique<RecordStore>(dbPath());
    }

    void cleanup()
    {
        m_store.reset();
        m_dir.reset();
    }

    void indexWords()
    {
        QCOMPARE(SearchTokens::forIndex(QStringLiteral("中国人")), QStringLiteral("中国 国人 人"));
        QCOMPARE(SearchTokens::forIndex(QStringLiteral("ＱＴ６开发，Hello😀世")), QStringLiteral("qt6 开发 发 hello 世"));
        QCOMPARE(SearchTokens::matchExpression(QStringLiteral("中国")), QStringLiteral("\"中国\""));
        QCOMPARE(SearchTokens::matchExpression(QStringLiteral("，。!")), QString());
    }

    void queriesFindTextsAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("match");
        QTest::newRow("two han") << "我们的中华人民共和国" << "人民" << true;
        QTest::newRow("two han absent") << "我们的中华人民共和国" << "民人" << false;
        QTest::newRow("four han") << "我们的中华人民共和国" << "中华人民" << true;
        QTest::newRow("han at end") << "热爱祖国" << "祖国" << true;
        QTest::newRow("one han first") << "热爱祖国" << "热" << true;
        QTest::newRow("one han last") << "热爱祖国" << "国" << true;
        QTest::newRow("one han absent") << "热爱祖国" << "家" << false;
        QTest::newRow("latin case") << "Qt Creator is nice" << "creator IS" << true;
        QTest::newRow("latin prefix") << "Qt Creator is nice" << "crea" << true;
        QTest::newRow("latin inside word") << "Qt Creator is nice" << "reator" << false;
        QTest::newRow("full width query") << "version 2024 released" << "ＶＥＲＳＩＯＮ　２０２４" << true;
        QTest::newRow("full width text") << "ＡＢＣ（全角）文字" << "abc" << true;
        QTest::newRow("mixed") << "使用Qt6开发程序" << "qt6开发" << true;
        QTest::newRow("mixed han then latin") << "使用Qt6开发程序" << "使用qt" << true;
        QTest::newRow("across punctuation") << "你好，世界" << "好世" << false;
        QTest::newRow("emoji between") << "开心😀快乐" << "心快" << false;
        QTest::newRow("emoji text") << "开心😀快乐" << "快乐" << true;
        QTest::newRow("beyond gbk") << "𠀀𠀁古字" << "𠀁古" << true;
    }

    void queriesFindTextsAsWritten()
    {
        QFETCH(QString, text);
        QFETCH(QString, query);
        QFETCH(bool, match);
        capture(QStringLiteral("甲"), text);
        capture(QStringLiteral("乙"), QStringLiteral("无关的内容 nothing"));
        QCOMPARE(found(query), match ? QStringList{QStringLiteral("甲")} : QStringList());
    }

    void deletedAndRewrittenRecordsLeaveTheResults()
    {
        capture(QStringLiteral("一"), QStringLiteral("春天来了"));
        capture(QStringLiteral("二"), QStringLiteral("春天很美"));
        QCOMPARE(found(QStringLiteral("春天")), (QStringList{QStringLiteral("一"), QStringLiteral("二")}));
        const std::optional<Record> first = named(QStringLiteral("一"));
        QVERIFY(first);
        QVERIFY(m_store->removeRecord(first->rowId));
        QCOMPARE(found(QStringLiteral("春天")), QStringList{QStringLiteral("二")});

        // The same row name written again with other text: only the new text is found.
        capture(QStringLiteral("二"), QStringLiteral("秋天很美"));
        QCOMPARE(found(QStringLiteral("秋天")), QStringList{QStringLiteral("二")});
    }

    // Three records, the third holding 蝴蝶; it goes, and a new record may take its number.
    void staleWordsNeverFindAnotherRecord_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("delete newest, add") << "delete";
        QTest::newRow("delete newest, restart, add") << "restart";
        QTest::newRow("deleted elsewhere, restart, add") << "elsewhere";
    }

    void staleWordsNeverFindAnotherRecord()
    {
        QFETCH(QString, how);
        capture(QStringLiteral("一"), QStringLiteral("春天来了"));
        capture(QStringLiteral("二"), QStringLiteral("夏天很热"));
        capture(QStringLiteral("三"), QStringLiteral("蝴蝶飞舞"));
        QCOMPARE(found(QStringLiteral("蝴蝶")), QStringList{QStringLiteral("三")});
        const std::optional<Record> third = named(QStringLiteral("三"));
        QVERIFY(third);
        if (how == QStringLiteral("elsewhere")) {
            m_store.reset();
            ForeignConnection raw(dbPath());
            QVERIFY(raw.exec(QStringLiteral("DELETE FROM filedata WHERE rowid = %1").arg(third->rowId)));
            QVERIFY(QFile::remove(folder() + QStringLiteral("三.txt")));
        } else {
            QVERIFY(m_store->removeRecord(third->rowId));
        }
        if (how != QStringLiteral("delete"))
            m_store = std::make_unique<RecordStore>(dbPath());
        capture(QStringLiteral("四"), QStringLiteral("秋天凉爽"));
        const std::optional<Record> fourth = named(QStringLiteral("四"));
        QVERIFY(fourth);
        QCOMPARE(fourth->rowId, third->rowId); // the case that went wrong: the number is reused

        QCOMPARE(found(QStringLiteral("蝴蝶")), QStringList());
        QCOMPARE(found(QStringLiteral("秋天")), QStringList{QStringLiteral("四")});
        QVERIFY(m_store->indexPendingRecords([] { return true; }, &m_indexed, &m_unreadable));
        QCOMPARE(found(QStringLiteral("蝴蝶")), QStringList());
        QCOMPARE(found(QStringLiteral("秋天")), QStringList{QStringLiteral("四")});
    }

    void changedFileIsFoundByItsNewWordsOnly()
    {
        capture(QStringLiteral("一"), QStringLiteral("春天来了"));
        capture(QStringLiteral("二"), QStringLiteral("蝴蝶飞舞"));
        int behind = 0;
        m_store->setIndexBehindHandler([&behind] { ++behind; });
        // Another program (or the editor) rewrites the file.
        QVERIFY(GbkTextFile::write(folder() + QStringLiteral("二.txt"), QStringLiteral("秋天的落叶很美")));
        QCOMPARE(found(QStringLiteral("蝴蝶")), QStringList());
        QVERIFY(behind > 0);
        QVERIFY(m_store->indexPendingRecords([] { return true; }, &m_indexed, &m_unreadable));
        QCOMPARE(m_indexed, 1);
        QCOMPARE(found(QStringLiteral("蝴蝶")), QStringList());
        QCOMPARE(found(QStringLiteral("落叶")), QStringList{QStringLiteral("二")});
        QCOMPARE(found(QStringLiteral("春天")), QStringList{QStringLiteral("一")});

        // A file gone while its row stays: the pass drops its entry, so no search meets it again.
        QVERIFY(QFile::remove(folder() + QStringLiteral("一.txt")));
        QCOMPARE(found(QStringLiteral("春天")), QStringList());
        QVERIFY(m_store->indexPendingRecords([] { return true; }, &m_indexed, &m_unreadable));
        QCOMPARE(m_unreadable, 1);
        ForeignConnection raw(SearchIndex::pathFor(dbPath()));
        QSqlQuery query = raw.query();
        QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM entries")) && query.next());
        QCOMPARE(query.value(0).toInt(), 1);
    }

    // Deleted and rewritten records leave dead words; past a share of the index the background
    // pass builds it again, and what it finds stays exact.
    void deadWordsAreRebuiltAway()
    {
        for (int i = 0; i < 400; ++i)
            capture(QStringLiteral("记录%1").arg(i), QStringLiteral("第%1号 共同的词").arg(i));
        const QList<Record> rows = m_store->records().value();
        for (int i = 0; i < 400; i += 10)
            QVERIFY(m_store->removeRecord(rows.at(i).rowId));
        for (int i = 5; i < 400; i += 10)
            QVERIFY(GbkTextFile::write(folder() + rows.at(i).fileName + QStringLiteral(".txt"),
                                       QStringLiteral("改写%1 新的内容").arg(i)));
        QVERIFY(m_store->indexPendingRecords([] { return true; }, &m_indexed, &m_unreadable));
        ForeignConnection raw(SearchIndex::pathFor(dbPath()));
        QSqlQuery query = raw.query();
        QVERIFY(query.exec(QStringLiteral("SELECT (SELECT seq FROM sqlite_sequence WHERE name = 'entries'), "
                                          "(SELECT count(*) FROM entries), "
                                          "(SELECT count(*) FROM sqlite_schema WHERE name LIKE '%_next%')")));
        QVERIFY(query.next());
        QCOMPARE(query.value(1).toInt(), 360);
        QCOMPARE(query.value(0).toInt(), 360); // no dead numbers left
        QCOMPARE(query.value(2).toInt(), 0);
        query.finish();
        QCOMPARE(found(QStringLiteral("共同")).size(), 320);
        QCOMPARE(found(QStringLiteral("新的内容")).size(), 40);
        QCOMPARE(found(QStringLiteral("第10号")), QStringList());
        QCOMPARE(found(QStringLiteral("第11号")), QStringList{QStringLiteral("记录11")});
        QCOMPARE(found(QStringLiteral("改写395")), QStringList{QStringLiteral("记录395")});
    }

    // Words made by another tokenizer are made again beside the ones in use; a pass cut short
    // (stopped, or killed) leaves the old words searchable and the next pass goes on.
    void changedTokenizerIsIndexedAgainInTheBackground()
    {
        for (int i = 0; i < 100; ++i)
            capture(QStringLiteral("记录%1").arg(i), QStringLiteral("第%1号 分词").arg(i));
        const auto meta = [this](const QString &statement) {
            ForeignConnection raw(SearchIndex::pathFor(dbPath()));
            QSqlQuery query = raw.query();
            return query.exec(statement) && query.next() ? query.value(0).toInt() : -1;
        };
        m_store.reset();
        {
            ForeignConnection raw(SearchIndex::pathFor(dbPath()));
            QVERIFY(raw.exec(QStringLiteral("UPDATE meta SET value = 0 WHERE key = 'tokenizer'")));
        }
        m_store = std::make_unique<RecordStore>(dbPath());
        int asked = 0;
        QVERIFY(m_store->indexPendingRecords([&asked] { return ++asked < 40; }, &m_indexed, &m_unreadable));
        QCOMPARE(meta(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE name = 'entries_next'")), 1);
        QCOMPARE(meta(QStringLiteral("SELECT value FROM meta WHERE key = 'tokenizer'")), 0);
        QCOMPARE(found(QStringLiteral("分词")).size(), 100);

        QVERIFY(m_store->indexPendingRecords([] { return true; }, &m_indexed, &m_unreadable));
        QCOMPARE(meta(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE name = 'entries_next'")), 0);
        QCOMPARE(meta(QStringLiteral("SELECT value FROM meta WHERE key = 'tokenizer'")), SearchTokens::kVersion);
        QCOMPARE(found(QStringLiteral("分词")).size(), 100);
        QCOMPARE(found(QStringLiteral("第42号")), QStringList{QStringLiteral("记录42")});
    }

    // A database from before the index: rows and files exist, the index file does not.
    void backgroundPassIndexesOlderRecordsWhileTheStoreIsUsed()
    {
        m_store.reset();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
            db.setDatabaseName(dbPath());
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("CREATE TABLE filedata (\"文件名\" TEXT, \"大小\" TEXT, \"类别\" TEXT, "
                                              "\"记录时间\" TEXT, \"存放地址\" TEXT, \"资料来源\" TEXT)")));
            QVERIFY(db.transaction());
            for (int i = 0; i < 300; ++i) {
                const QString name = QStringLiteral("旧%1").arg(i);
                if (i != 7)
                    QVERIFY(GbkTextFile::write(folder() + name + QStringLiteral(".txt"),
                                               QStringLiteral("第%1篇 旧日记录 number%1").arg(i)));
                query.prepare(QStringLiteral("INSERT INTO filedata VALUES (?, '9', '小说', '2020-01-01', ?, '')"));
                query.addBindValue(name);
                query.addBindValue(folder());
                QVERIFY(query.exec());
            }
            QVERIFY(db.commit());
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("old"));
        QVERIFY(!QFile::exists(SearchIndex::pathFor(dbPath())));

        m_store = std::make_unique<RecordStore>(dbPath());
        int indexed = 0;
        int unreadable = 0;
        StoreWorker worker(dbPath());
        QSignalSpy done(&worker, &StoreWorker::finished);
        QVERIFY(worker.start([&](RecordStore &store, const std::atomic_bool &stop) {
            QVERIFY(store.indexPendingRecords([&stop] { return !stop; }, &indexed, &unreadable));
        }));
        QVERIFY(!worker.start({}));
        // The GUI thread's store keeps listing and adding meanwhile.
        int listed = 0;
        while (done.isEmpty()) {
            QVERIFY(m_store->forEachRecordInCategory(QStringLiteral("小说"), [&listed](const Record &) {
                ++listed;
                return true;
            }));
            QTest::qWait(5);
        }
        QVERIFY(listed >= 300);
        capture(QStringLiteral("新"), QStringLiteral("新的记录"));
        QCOMPARE(indexed, 299);
        QCOMPARE(unreadable, 1);
        QCOMPARE(found(QStringLiteral("第12篇")), QStringList{QStringLiteral("旧12")});
        QCOMPARE(found(QStringLiteral("旧日")).size(), 299);
        QCOMPARE(found(QStringLiteral("新的")), QStringList{QStringLiteral("新")});

        // A second pass has nothing left but the file that is still missing.
        QVERIFY(m_store->indexPendingRecords([] { return true; }, &indexed, &unreadable));
        QCOMPARE(indexed, 0);
        QCOMPARE(unreadable, 1);
    }

    void rebuildAddsOnlyUnrecordedFiles()
    {
        const QString sub = folder() + QStringLiteral("子目录/");
        QVERIFY(QDir().mkpath(sub));
        capture(QStringLiteral("同名"), QStringLiteral("已有记录"));
        QVERIFY(GbkTextFile::write(sub + QStringLiteral("同名.txt"), QStringLiteral("第一行\n第二行")));
        QVERIFY(GbkTextFile::write(sub + QStringLiteral("𠀀古字.txt"), QStringLiteral("罕见的字")));
        QVERIFY(GbkTextFile::write(sub + QStringLiteral("notes.doc"), QStringLiteral("not text")));
        QVERIFY(QFile::link(folder() + QStringLiteral("gone"), folder() + QStringLiteral("断开.txt")));
        {
            QFile old(sub + QStringLiteral("同名.txt"));
            QVERIFY(old.open(QIODevice::ReadWrite));
            QVERIFY(old.setFileTime(QDateTime(QDate(2021, 3, 4), QTime(10, 0)), QFileDevice::FileModificationTime));
        }

        const RecordRebuilder::Result result = RecordRebuilder::rebuild(*m_store, folder());
        QVERIFY(result.ok);
        QCOMPARE(result.added, 2);
        QCOMPARE(result.alreadyRecorded, 1);
        QCOMPARE(result.notRegularFile, 1);
        const QList<Record> rows = m_store->records().value();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).folder, folder());
        const auto added = std::find_if(rows.cbegin(), rows.cend(),
                                        [](const Record &row) { return row.fileName == QStringLiteral("同名") && row.folder.contains(QStringLiteral("子目录")); });
        QVERIFY(added != rows.cend());
        QCOMPARE(added->folder, sub);
        QCOMPARE(added->size, QStringLiteral("8"));
        QCOMPARE(added->category, QStringLiteral("默认文本"));
        QCOMPARE(added->date, QDate(2021, 3, 4));
        QCOMPARE(added->source, QString());
        QCOMPARE(found(QStringLiteral("罕见")), QStringList{QStringLiteral("𠀀古字")});

        // A second rebuild finds everything recorded and changes nothing.
        const RecordRebuilder::Result again = RecordRebuilder::rebuild(*m_store, folder());
        QCOMPARE(again.added, 0);
        QCOMPARE(m_store->records()->size(), rows.size());
    }
};

QTEST_GUILESS_MAIN(TestSearchIndex)
#include "tst_searchindex.moc"
