#include "store/storeschema.h"

#include "store/searchtokens.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <optional>

namespace StoreSchema {

namespace {

constexpr auto kCreateRecords =
    "CREATE TABLE IF NOT EXISTS filedata ("
    "\"文件名\" TEXT, \"大小\" TEXT, \"类别\" TEXT, \"记录时间\" TEXT, \"存放地址\" TEXT, \"资料来源\" TEXT)";

Check failed(const QSqlError &error)
{
    Check check;
    check.status = Status::Failed;
    check.errorCode = resultCode(error);
    check.error = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return check;
}

Check ready(int version)
{
    Check check;
    check.status = Status::Ready;
    check.version = version;
    return check;
}

// Runs the statements in one transaction; on failure rolls back and reports SQLite's error.
template <typename Body>
Check inTransaction(QSqlDatabase &db, int version, Body body)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failed(query.lastError());
    if (!body(query)) {
        const QSqlError error = query.lastError();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return failed(error);
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const QSqlError error = query.lastError();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return failed(error);
    }
    return ready(version);
}

std::optional<int> pragmaValue(QSqlQuery &query, const QString &pragma)
{
    if (!query.exec(pragma) || !query.next())
        return std::nullopt;
    const int value = query.value(0).toInt();
    // A statement left open would keep the transactions that follow from committing.
    query.finish();
    return value;
}

} // namespace

const QStringList &recordColumns()
{
    static const QStringList columns{QStringLiteral("文件名"), QStringLiteral("大小"), QStringLiteral("类别"),
                                     QStringLiteral("记录时间"), QStringLiteral("存放地址"), QStringLiteral("资料来源")};
    return columns;
}

bool hasRecordColumns(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA main.table_info(filedata)")))
        return false;
    QStringList names;
    while (query.next())
        names.append(query.value(1).toString());
    // Columns after the six are left alone; the six must stand first and in their order.
    return names.mid(0, recordColumns().size()) == recordColumns();
}

Check prepareRecords(QSqlDatabase &db, bool readOnly)
{
    // The version is the first read: a file that is not a database fails here.
    QSqlQuery query(db);
    const std::optional<int> version = pragmaValue(query, QStringLiteral("PRAGMA main.user_version"));
    if (!version)
        return failed(query.lastError());
    if (*version > kRecordsVersion && !readOnly) {
        Check check;
        check.status = Status::Newer;
        check.version = *version;
        return check;
    }
    if (!readOnly && *version < kRecordsVersion) {
        // An unmarked file (or none): the table as older copies made it, then the mark, taking
        // the write lock first so that two connections marking at once do not deadlock.
        const Check migrated = inTransaction(db, kRecordsVersion, [](QSqlQuery &q) {
            return q.exec(QString::fromUtf8(kCreateRecords))
                && q.exec(QStringLiteral("PRAGMA main.user_version = %1").arg(kRecordsVersion));
        });
        if (migrated.status != Status::Ready)
            return migrated;
    } else if (!readOnly && !query.exec(QString::fromUtf8(kCreateRecords))) {
        // A marked file whose table someone dropped gets it back; an existing one is not written.
        return failed(query.lastError());
    }
    if (!hasRecordColumns(db)) {
        Check check;
        check.status = Status::BadForm;
        check.version = *version;
        return check;
    }
    return ready(std::max(*version, kRecordsVersion));
}

IndexTables IndexTables::current()
{
    return {QStringLiteral("search.entries"), QStringLiteral("search.texts")};
}

IndexTables IndexTables::next()
{
    return {QStringLiteral("search.entries_next"), QStringLiteral("search.texts_next")};
}

bool createIndexTables(QSqlDatabase &db, const IndexTables &tables, QString *error)
{
    QSqlQuery query(db);
    // An entry's number is never given again, so words left under a replaced or removed
    // entry can never be taken for another entry's words.
    const bool ok = query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 ("
                                              "id INTEGER PRIMARY KEY AUTOINCREMENT, recordId INTEGER UNIQUE, "
                                              "path TEXT, size INTEGER, modified INTEGER)")
                                   .arg(tables.entries))
        && query.exec(QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS %1 USING fts5("
                                     "tokens, content='', columnsize=0, tokenize='unicode61 remove_diacritics 0')")
                          .arg(tables.words));
    if (!ok && error)
        *error = query.lastError().text();
    return ok;
}

Check attachIndex(QSqlDatabase &db, const QString &indexPath)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("ATTACH DATABASE ? AS search"));
    query.addBindValue(indexPath);
    if (!query.exec())
        return failed(query.lastError());
    const std::optional<int> version = pragmaValue(query, QStringLiteral("PRAGMA search.user_version"));
    if (!version) {
        const Check check = failed(query.lastError());
        detachIndex(db);
        return check;
    }
    if (*version > kIndexVersion) {
        Check check;
        check.status = Status::Newer;
        check.version = *version;
        return check;
    }
    const std::optional<int> pages = pragmaValue(query, QStringLiteral("PRAGMA search.page_count"));
    if (*version < kIndexVersion) {
        // A new file gives its free pages back in small steps (the background pass does that),
        // which must be chosen before its first table.
        if (pages == 0)
            query.exec(QStringLiteral("PRAGMA search.auto_vacuum = INCREMENTAL"));
        // WAL: a search reads while the background pass writes. The index is derived data: its
        // commits need not wait for the disk, since an entry lost with a crash is lost together
        // with its file stamp, and the next background pass indexes that file again.
        if (!pragmaValue(query, QStringLiteral("PRAGMA search.journal_mode = WAL"))) {
            const Check check = failed(query.lastError());
            detachIndex(db);
            return check;
        }
        // An index without a version files words under reused numbers: nothing in it can be
        // trusted, so it is emptied and the background pass indexes every record again. The
        // word table has a name of its own now, so that an older copy, which makes its tables
        // again in this file, never files words under the numbers of this one's entries.
        const Check migrated = inTransaction(db, kIndexVersion, [&db](QSqlQuery &q) {
            QString error;
            return q.exec(QStringLiteral("DROP TABLE IF EXISTS search.indexed"))
                && q.exec(QStringLiteral("DROP TABLE IF EXISTS search.words"))
                && q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS search.meta (key TEXT PRIMARY KEY, value)"))
                && createIndexTables(db, IndexTables::current(), &error) && setIndexTokenizerVersion(db, SearchTokens::kVersion)
                && q.exec(QStringLiteral("PRAGMA search.user_version = %1").arg(kIndexVersion));
        });
        if (migrated.status != Status::Ready) {
            detachIndex(db);
            return migrated;
        }
        // An older file gives back the space of what it held, and from now on does so in steps.
        if (pages > 0 && pragmaValue(query, QStringLiteral("PRAGMA search.auto_vacuum")) != 2) {
            query.exec(QStringLiteral("PRAGMA search.auto_vacuum = INCREMENTAL"));
            query.exec(QStringLiteral("VACUUM search"));
        }
    }
    // An older copy that used this file made its own tables in it again: they are of no use.
    if (pragmaValue(query, QStringLiteral("SELECT count(*) FROM search.sqlite_schema WHERE name = 'indexed'")) > 0)
        inTransaction(db, kIndexVersion, [](QSqlQuery &q) {
            return q.exec(QStringLiteral("DROP TABLE IF EXISTS search.indexed"))
                && q.exec(QStringLiteral("DROP TABLE IF EXISTS search.words"));
        });
    if (indexTokenizerVersion(db) > SearchTokens::kVersion) {
        Check check;
        check.status = Status::Newer;
        check.version = *version;
        return check;
    }
    query.exec(QStringLiteral("PRAGMA search.synchronous = NORMAL"));
    return ready(kIndexVersion);
}

void detachIndex(QSqlDatabase &db)
{
    QSqlQuery(db).exec(QStringLiteral("DETACH DATABASE search"));
}

int indexTokenizerVersion(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT value FROM search.meta WHERE key = 'tokenizer'")) || !query.next())
        return 0;
    const int version = query.value(0).toInt();
    query.finish();
    return version;
}

bool setIndexTokenizerVersion(QSqlDatabase &db, int version)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO search.meta (key, value) VALUES ('tokenizer', ?)"));
    query.addBindValue(version);
    return query.exec();
}

int resultCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() & 0xff;
}

bool meansDamage(int code)
{
    return code == 11 /* SQLITE_CORRUPT */ || code == 26 /* SQLITE_NOTADB */;
}

} // namespace StoreSchema
