#pragma once

#include "store/currentrecord.h"
#include "store/dateperiod.h"
#include "store/record.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

// The record database: one SQLite file holding the table filedata with the columns
// 文件名, 大小, 类别, 记录时间, 存放地址, 资料来源 in that order. Rows keep insertion
// (rowid) order. A missing file or table is created; a table whose first six columns are not
// these is refused. Every operation reports failure (locked, read-only, unreadable or corrupt
// database, a table not in the expected form) through its result and lastError(), in words
// that name the database file.
// Rows added or removed here are added to or removed from the search index (SearchIndex)
// as well; an index that cannot be written never fails the row: the records it missed are
// indexed by the next background pass, which the store asks for (setIndexBehindHandler).
// StoreSchema owns the tables; a file from a newer Notavo is opened read-only.
class RecordStore final
{
public:
    explicit RecordStore(QString databasePath);
    ~RecordStore();
    Q_DISABLE_COPY_MOVE(RecordStore)

    QString databasePath() const { return m_path; }
    QString lastError() const { return m_lastError; }

    // Appends a row from the current record, dated `today`.
    bool addFileData(const CurrentRecord &record, const QDate &today);
    // The same, for a record whose file was just written with `text`: the index takes the
    // text as it is instead of reading the file back. `rowId`, when given, receives the row's id.
    bool addFileData(const CurrentRecord &record, const QDate &today, const QString &text, qint64 *rowId = nullptr);
    // Replaces the 资料来源 of one row (a source that was found after its capture was stored).
    // A row deleted meanwhile is no failure: nothing is changed.
    bool setSource(qint64 rowId, const QString &source);
    // Whether addFileData indexes the row's file at once (the default), or leaves it to the next
    // background pass (indexPendingRecords), as the rebuild does with a file too large to read whole.
    void setIndexesOnAdd(bool indexesOnAdd) { m_indexesOnAdd = indexesOnAdd; }

    // Calls `visit` for every row in stored order. Stops early when it returns false.
    bool forEachRecord(const std::function<bool(const Record &)> &visit);
    std::optional<QList<Record>> records();
    // Calls `visit` for every row, in stored order, whose 类别 equals `category` exactly.
    bool forEachRecordInCategory(const QString &category, const std::function<bool(const Record &)> &visit);
    // Every row, in stored order, that belongs to the period on `today` (DatePeriods::contains).
    // The database narrows the rows by date first, so a large table is not read whole.
    bool forEachRecordInPeriod(Period period, const QDate &today, const std::function<bool(const Record &)> &visit);

    // Deletes one row. Deleting a row never touches the file it describes.
    bool removeRecord(qint64 rowId);

    // Every row, in stored order, whose file's text contains `query` (SearchTokens rules),
    // as far as the search index knows the files.
    bool forEachRecordContaining(const QString &query, const std::function<bool(const Record &)> &visit);
    // Brings the search index up to date with the rows and their files (a long pass: run it
    // on a store of its own in a worker thread). `keepGoing` is asked before each file.
    bool indexPendingRecords(const std::function<bool()> &keepGoing, int *indexed, int *unreadable);

    // What the user should know about the search index, in words that name filesearch.db
    // (damaged and set aside, cannot be written, from a newer Notavo); empty when all is well.
    // Each notice is given once.
    QString takeSearchNotice() { return std::exchange(m_searchNotice, {}); }
    // Called (on the store's thread) when the index missed a record or holds an entry that is
    // out of date: a background pass brings it up to date.
    void setIndexBehindHandler(std::function<void()> handler) { m_indexBehind = std::move(handler); }
    // True when the database was written by a newer Notavo: it is only read.
    bool isReadOnly() const { return !m_readOnlyReason.isEmpty(); }

private:
    bool ensureOpen();
    bool ensureWritable();
    bool openConnection(bool readOnly);
    void attachSearch();
    // The index file proved damaged: set it aside and start a new one.
    void replaceDamagedIndex();
    void noteIndexBehind(const QString &notice = {});
    bool addRecord(const CurrentRecord &record, const QDate &today, const QString *text, qint64 *rowId);
    bool insertRow(const CurrentRecord &record, const QDate &today, qint64 *rowId);
    bool fail(const QString &what, const QString &detail);
    bool fail(const QString &what, const QSqlError &error);
    // Reports a filedata table whose first six columns are not the expected ones.
    bool failForm();
    bool visitRows(QSqlQuery &query, const std::function<bool(const Record &)> &visit);

    QString m_path;
    QString m_connection;
    bool m_open = false;
    // The search index is attached; without it every other operation still works.
    bool m_searchReady = false;
    bool m_indexesOnAdd = true;
    QString m_searchError;
    QString m_searchNotice;
    QString m_readOnlyReason;
    QString m_lastError;
    std::function<void()> m_indexBehind;
};
