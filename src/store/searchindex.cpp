#include "store/searchindex.h"

#include "common/gbktextfile.h"
#include "platform/filestamp.h"
#include "store/searchtokens.h"
#include "store/storeschema.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using StoreSchema::IndexTables;

namespace {

// A background transaction ends after this long, so that a capture waiting for the index
// never waits long.
constexpr qint64 kTransactionMs = 100;
// The index is built again once dead words pass this share of the entries (and this count).
constexpr qint64 kDeadShareDivisor = 20;
constexpr qint64 kDeadMinimum = 50;
// Pages merged, and pages given back, in one step of the compaction.
constexpr int kMergePages = 500;
constexpr int kVacuumPages = 2000;

// What an entry says of its file.
struct EntryStamp
{
    QString path;
    FileStamp file;

    bool operator==(const EntryStamp &) const = default;
};

EntryStamp stampOf(FileStampReader &files, const QString &path)
{
    return {path, files.stampOf(path)};
}

bool exec(QSqlQuery &query, const QString &statement, QString *error)
{
    if (query.exec(statement))
        return true;
    if (error)
        *error = query.lastError().text();
    return false;
}

std::optional<qint64> scalar(QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement))
        return std::nullopt;
    return query.next() ? query.value(0).toLongLong() : 0;
}

// Replaces the record's entry; the caller holds the transaction.
bool writeEntry(QSqlDatabase &db, const IndexTables &tables, qint64 recordId, const EntryStamp &stamp,
                const QString &text)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE recordId = ?").arg(tables.entries));
    query.addBindValue(recordId);
    if (!query.exec())
        return false;
    query.prepare(QStringLiteral("INSERT INTO %1 (recordId, path, size, modified) VALUES (?, ?, ?, ?)")
                      .arg(tables.entries));
    query.addBindValue(recordId);
    query.addBindValue(stamp.path);
    query.addBindValue(stamp.file.size);
    query.addBindValue(stamp.file.modified);
    if (!query.exec())
        return false;
    const QVariant id = query.lastInsertId();
    query.prepare(QStringLiteral("INSERT INTO %1 (rowid, tokens) VALUES (?, ?)").arg(tables.words));
    query.addBindValue(id);
    query.addBindValue(SearchTokens::forIndex(text));
    return query.exec();
}

bool writeOne(QSqlDatabase &db, qint64 recordId, const EntryStamp &stamp, const QString &text)
{
    if (!db.transaction())
        return false;
    if (!writeEntry(db, IndexTables::current(), recordId, stamp, text)) {
        db.rollback();
        return false;
    }
    return db.commit();
}

// Commits every kTransactionMs, so that background work holds the index only briefly.
class Batch final
{
public:
    Batch(QSqlDatabase &db, QString *error)
        : m_db(db)
        , m_error(error)
    {
    }

    bool begin()
    {
        if (m_open)
            return true;
        if (!m_db.transaction())
            return failed();
        m_open = true;
        m_timer.start();
        return true;
    }

    bool commitIfDue() { return !m_open || m_timer.elapsed() < kTransactionMs || commit(); }

    bool commit()
    {
        if (!m_open)
            return true;
        m_open = false;
        return m_db.commit() || failed();
    }

    bool failed()
    {
        if (m_error)
            *m_error = m_db.lastError().text();
        if (m_open)
            m_db.rollback();
        m_open = false;
        return false;
    }

private:
    QSqlDatabase &m_db;
    QString *m_error;
    QElapsedTimer m_timer;
    bool m_open = false;
};

struct Pending
{
    QHash<qint64, EntryStamp> indexed;
    QList<std::pair<qint64, QString>> records;
};

bool readPending(QSqlDatabase &db, const IndexTables &tables, Pending *pending, QString *error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!exec(query, QStringLiteral("SELECT recordId, path, size, modified FROM %1").arg(tables.entries), error))
        return false;
    while (query.next())
        pending->indexed.insert(query.value(0).toLongLong(),
                                {query.value(1).toString(), {query.value(2).toLongLong(), query.value(3).toLongLong()}});
    if (!exec(query, QStringLiteral("SELECT rowid, \"存放地址\", \"文件名\" FROM filedata"), error))
        return false;
    while (query.next())
        pending->records.append({query.value(0).toLongLong(),
                                 recordFilePath(query.value(1).toString(), query.value(2).toString())});
    return true;
}

// Brings `tables` up to date with the rows and their files.
bool synchronize(QSqlDatabase &db, const IndexTables &tables, const std::function<bool()> &keepGoing,
                 SearchIndex::PassResult *result, QString *error)
{
    Pending pending;
    if (!readPending(db, tables, &pending, error))
        return false;
    Batch batch(db, error);
    FileStampReader files;
    for (const auto &[recordId, path] : std::as_const(pending.records)) {
        if (!keepGoing())
            return batch.commit();
        const auto known = pending.indexed.constFind(recordId);
        const EntryStamp stamp = stampOf(files, path);
        if (known != pending.indexed.cend() && *known == stamp) {
            pending.indexed.erase(known);
            continue;
        }
        const std::optional<QString> text = GbkTextFile::read(path);
        if (!text) {
            // Its entry, if any, goes with the ones left over: it speaks for a text that is gone.
            ++result->unreadable;
            continue;
        }
        if (known != pending.indexed.cend())
            pending.indexed.erase(known);
        if (!batch.begin())
            return false;
        if (!writeEntry(db, tables, recordId, stamp, *text))
            return batch.failed();
        ++result->indexed;
        if (!batch.commitIfDue())
            return false;
    }
    // Entries left over belong to records deleted elsewhere (or to a replaced database), or to
    // files that can no longer be read.
    QSqlQuery forget(db);
    forget.prepare(QStringLiteral("DELETE FROM %1 WHERE recordId = ?").arg(tables.entries));
    for (auto it = pending.indexed.cbegin(); it != pending.indexed.cend(); ++it) {
        if (!batch.begin())
            return false;
        forget.addBindValue(it.key());
        if (!forget.exec())
            return batch.failed();
        if (!batch.commitIfDue())
            return false;
    }
    return batch.commit();
}

bool needsRebuild(QSqlDatabase &db)
{
    if (StoreSchema::indexTokenizerVersion(db) != SearchTokens::kVersion)
        return true;
    if (scalar(db, QStringLiteral("SELECT count(*) FROM search.sqlite_schema WHERE name = 'entries_next'")).value_or(0))
        return true; // a rebuild that was cut short goes on
    const qint64 live = scalar(db, QStringLiteral("SELECT count(*) FROM search.entries")).value_or(0);
    const qint64 issued =
        scalar(db, QStringLiteral("SELECT seq FROM search.sqlite_sequence WHERE name = 'entries'")).value_or(0);
    const qint64 dead = issued - live;
    return dead >= kDeadMinimum && dead * kDeadShareDivisor > live;
}

// Puts the rebuilt tables in place of the ones in use, in one transaction of the index alone
// (the record database stays free for captures), so that a search sees the one or the other.
bool replaceWithNext(QSqlDatabase &db, QString *error)
{
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("DROP TABLE search.texts")) || !query.exec(QStringLiteral("DROP TABLE search.entries"))
        || !query.exec(QStringLiteral("ALTER TABLE search.entries_next RENAME TO entries"))
        || !query.exec(QStringLiteral("ALTER TABLE search.texts_next RENAME TO texts"))
        || !StoreSchema::setIndexTokenizerVersion(db, SearchTokens::kVersion)) {
        *error = query.lastError().text();
        db.rollback();
        return false;
    }
    if (db.commit())
        return true;
    *error = db.lastError().text();
    db.rollback();
    return false;
}

bool rebuild(QSqlDatabase &db, const std::function<bool()> &keepGoing, SearchIndex::PassResult *result,
             QString *error)
{
    if (!db.transaction())
        return false;
    if (!StoreSchema::createIndexTables(db, IndexTables::next(), error)) {
        db.rollback();
        return false;
    }
    if (!db.commit() || !synchronize(db, IndexTables::next(), keepGoing, result, error))
        return false;
    // What was captured or changed while the long build ran, once more before and after the swap.
    if (!keepGoing())
        return true;
    if (!synchronize(db, IndexTables::next(), keepGoing, result, error))
        return false;
    if (!keepGoing())
        return true;
    if (!replaceWithNext(db, error))
        return false;
    result->rebuilt = true;
    return synchronize(db, IndexTables::current(), keepGoing, result, error);
}

// Merges the word table's pieces and gives free pages back to the file system, in short steps.
void compact(QSqlDatabase &db, bool mergeAll, const std::function<bool()> &keepGoing)
{
    QSqlQuery query(db);
    // A negative count merges down to one piece; a positive one only where pieces pile up.
    const int pages = mergeAll ? -kMergePages : kMergePages;
    // A merge that finds nothing to do changes nothing but its own command row.
    while (keepGoing()) {
        const qint64 before = scalar(db, QStringLiteral("SELECT total_changes()")).value_or(0);
        query.prepare(QStringLiteral("INSERT INTO search.texts (texts, rank) VALUES ('merge', ?)"));
        query.addBindValue(pages);
        if (!query.exec() || scalar(db, QStringLiteral("SELECT total_changes()")).value_or(0) <= before + 1)
            break;
    }
    const auto freePages = [&db] { return scalar(db, QStringLiteral("PRAGMA search.freelist_count")).value_or(0); };
    for (qint64 free = freePages(); free > 0 && keepGoing();) {
        if (!query.exec(QStringLiteral("PRAGMA search.incremental_vacuum(%1)").arg(kVacuumPages)))
            break;
        while (query.next()) {
        }
        const qint64 left = freePages();
        if (left >= free)
            break; // nothing given back (a file without incremental vacuum)
        free = left;
    }
    query.finish();
    query.exec(QStringLiteral("PRAGMA search.wal_checkpoint(TRUNCATE)"));
}

} // namespace

QString SearchIndex::pathFor(const QString &databasePath)
{
    return QFileInfo(databasePath).absoluteDir().filePath(QStringLiteral("filesearch.db"));
}

bool SearchIndex::indexText(QSqlDatabase &db, qint64 recordId, const QString &filePath, const QString &text)
{
    FileStampReader files;
    return writeOne(db, recordId, stampOf(files, filePath), text);
}

bool SearchIndex::indexRecord(QSqlDatabase &db, qint64 recordId, const QString &filePath)
{
    FileStampReader files;
    const EntryStamp stamp = stampOf(files, filePath);
    const std::optional<QString> text = GbkTextFile::read(filePath);
    return text && writeOne(db, recordId, stamp, *text);
}

bool SearchIndex::forgetRecord(QSqlDatabase &db, qint64 recordId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM search.entries WHERE recordId = ?"));
    query.addBindValue(recordId);
    const bool ok = query.exec();
    // While the index is being built again, the entry may be there too.
    query.prepare(QStringLiteral("DELETE FROM search.entries_next WHERE recordId = ?"));
    query.addBindValue(recordId);
    query.exec();
    return ok;
}

bool SearchIndex::isUnchanged(FileStampReader &files, const QString &path, qint64 size, qint64 modified)
{
    return files.stampOf(path) == FileStamp{size, modified};
}

bool SearchIndex::indexPending(QSqlDatabase &db, const std::function<bool()> &keepGoing, PassResult *result,
                               QString *error)
{
    // Files indexed again leave dead words too: the share is looked at after them as well.
    if (!needsRebuild(db) && !synchronize(db, IndexTables::current(), keepGoing, result, error))
        return false;
    if (keepGoing() && needsRebuild(db) && !rebuild(db, keepGoing, result, error))
        return false;
    compact(db, result->rebuilt, keepGoing);
    return true;
}
