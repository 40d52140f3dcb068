#include "store/searchindex.h"

#include "common/gbktextfile.h"
#include "store/searchtokens.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

constexpr int kBatchSize = 200;

const char *const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS search.indexed ("
    "id INTEGER PRIMARY KEY, recordId INTEGER UNIQUE, path TEXT, size INTEGER, modified INTEGER)",
    "CREATE VIRTUAL TABLE IF NOT EXISTS search.words USING fts5("
    "tokens, content='', columnsize=0, tokenize='unicode61 remove_diacritics 0')",
};

struct FileStamp
{
    QString path;
    qint64 size = -1;
    qint64 modified = -1;

    bool operator==(const FileStamp &) const = default;
};

FileStamp stampOf(const QString &path)
{
    const QFileInfo info(path);
    return {path, info.size(), info.lastModified().toMSecsSinceEpoch()};
}

bool execAll(QSqlQuery &query, const QString &statement, QString *error)
{
    if (query.exec(statement))
        return true;
    if (error)
        *error = query.lastError().text();
    return false;
}

// Replaces the record's index entry; the caller holds the transaction.
bool writeEntry(QSqlDatabase &db, qint64 recordId, const FileStamp &stamp, const QString &text)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM search.indexed WHERE recordId = ?"));
    query.addBindValue(recordId);
    if (!query.exec())
        return false;
    query.prepare(QStringLiteral("INSERT INTO search.indexed (recordId, path, size, modified) VALUES (?, ?, ?, ?)"));
    query.addBindValue(recordId);
    query.addBindValue(stamp.path);
    query.addBindValue(stamp.size);
    query.addBindValue(stamp.modified);
    if (!query.exec())
        return false;
    const QVariant id = query.lastInsertId();
    query.prepare(QStringLiteral("INSERT INTO search.words (rowid, tokens) VALUES (?, ?)"));
    query.addBindValue(id);
    query.addBindValue(SearchTokens::forIndex(text));
    return query.exec();
}

} // namespace

QString SearchIndex::pathFor(const QString &databasePath)
{
    return QFileInfo(databasePath).absoluteDir().filePath(QStringLiteral("filesearch.db"));
}

bool SearchIndex::attach(QSqlDatabase &db, const QString &databasePath, QString *error)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("ATTACH DATABASE ? AS search"));
    query.addBindValue(pathFor(databasePath));
    if (!query.exec()) {
        *error = query.lastError().text();
        return false;
    }
    // WAL: a search reads while the background pass writes. The index is derived data: its
    // commits need not wait for the disk, since an entry lost with a crash is lost together with
    // its file stamp, and the next background pass indexes that file again.
    if (!execAll(query, QStringLiteral("PRAGMA search.journal_mode=WAL"), error)
        || !execAll(query, QStringLiteral("PRAGMA search.synchronous=NORMAL"), error) || !db.transaction())
        return false;
    for (const char *statement : kSchema) {
        if (!execAll(query, QString::fromUtf8(statement), error)) {
            db.rollback();
            return false;
        }
    }
    return db.commit();
}

bool SearchIndex::indexRecord(QSqlDatabase &db, qint64 recordId, const QString &filePath)
{
    const FileStamp stamp = stampOf(filePath);
    const std::optional<QString> text = GbkTextFile::read(filePath);
    if (!text || !db.transaction())
        return false;
    if (!writeEntry(db, recordId, stamp, *text)) {
        db.rollback();
        return false;
    }
    return db.commit();
}

bool SearchIndex::forgetRecord(QSqlDatabase &db, qint64 recordId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM search.indexed WHERE recordId = ?"));
    query.addBindValue(recordId);
    return query.exec();
}

bool SearchIndex::indexPending(QSqlDatabase &db, const std::function<bool()> &keepGoing, PassResult *result,
                               QString *error)
{
    QHash<qint64, FileStamp> indexed;
    QList<std::pair<qint64, QString>> records;
    {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!execAll(query, QStringLiteral("SELECT recordId, path, size, modified FROM search.indexed"), error))
            return false;
        while (query.next())
            indexed.insert(query.value(0).toLongLong(),
                           {query.value(1).toString(), query.value(2).toLongLong(), query.value(3).toLongLong()});
        if (!execAll(query, QStringLiteral("SELECT rowid, \"存放地址\", \"文件名\" FROM filedata"), error))
            return false;
        while (query.next())
            records.append({query.value(0).toLongLong(),
                            recordFilePath(query.value(1).toString(), query.value(2).toString())});
    }

    int inBatch = 0;
    const auto commitBatch = [&] {
        if (inBatch == 0 || db.commit()) {
            inBatch = 0;
            return true;
        }
        *error = db.lastError().text();
        db.rollback();
        return false;
    };
    for (const auto &[recordId, path] : std::as_const(records)) {
        if (!keepGoing())
            break;
        const auto known = indexed.constFind(recordId);
        const FileStamp stamp = stampOf(path);
        const bool current = known != indexed.cend() && *known == stamp;
        if (known != indexed.cend())
            indexed.erase(known);
        if (current)
            continue;
        const std::optional<QString> text = GbkTextFile::read(path);
        if (!text) {
            ++result->unreadable;
            continue;
        }
        if (inBatch == 0 && !db.transaction()) {
            *error = db.lastError().text();
            return false;
        }
        if (!writeEntry(db, recordId, stamp, *text)) {
            *error = db.lastError().text();
            db.rollback();
            return false;
        }
        ++result->indexed;
        if (++inBatch == kBatchSize && !commitBatch())
            return false;
    }
    if (!commitBatch())
        return false;
    // Entries left over belong to records deleted elsewhere (or to an older database).
    if (keepGoing()) {
        for (auto it = indexed.cbegin(); it != indexed.cend(); ++it)
            forgetRecord(db, it.key());
    }
    return true;
}
