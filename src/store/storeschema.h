#pragma once

#include <QString>

class QSqlDatabase;
class QSqlError;

// The one owner of what Notavo stores in SQLite: the table filedata of the record database
// and the tables of the search index (attached as "search"). It creates, checks and
// migrates them inside transactions and records their versions in PRAGMA user_version
// (the index keeps the tokenizer's version beside it in search.meta).
//
// filedata stays exactly the table older copies and the sqlite3 shell know: the version
// number is the only mark Notavo leaves. A file marked by a newer Notavo is never changed.
namespace StoreSchema {

// Version 1: filedata as it always was, now marked.
constexpr int kRecordsVersion = 1;
// Version 1: entries numbered by AUTOINCREMENT, words filed under those numbers, a meta table.
// The landed index without a version is version 0.
constexpr int kIndexVersion = 1;

// The six columns of filedata, in their order.
const QStringList &recordColumns();

enum class Status {
    Ready,
    Newer,     // written by a newer Notavo: use read-only (records) or not at all (index)
    BadForm,   // filedata's first six columns are not the expected ones
    Failed,    // SQLite refused; see error
};

struct Check
{
    Status status = Status::Failed;
    int version = 0;
    // SQLite's error when status is Failed.
    int errorCode = 0;
    QString error;
};

// Creates filedata when missing, checks its columns, and brings an older file to the current
// version in one transaction. A newer file is reported as such; on a read-only connection
// (how a newer file is then used) the columns are only checked.
Check prepareRecords(QSqlDatabase &db, bool readOnly);
// True when filedata's first six columns are the expected ones, in order.
bool hasRecordColumns(QSqlDatabase &db);

// The index tables under a name suffix: "" for the tables in use, "_next" for the ones a full
// rebuild fills before they replace them.
struct IndexTables
{
    QString entries;
    QString words;

    static IndexTables current();
    static IndexTables next();
};

// Attaches the index file as "search", creating its tables when missing and migrating an
// older index (whose words cannot be trusted) by emptying it in one transaction.
Check attachIndex(QSqlDatabase &db, const QString &indexPath);
void detachIndex(QSqlDatabase &db);
// Creates a set of index tables when missing; the caller holds the transaction.
bool createIndexTables(QSqlDatabase &db, const IndexTables &tables, QString *error);

// The tokenizer version the index's words were made with (search.meta), 0 when unknown.
int indexTokenizerVersion(QSqlDatabase &db);
bool setIndexTokenizerVersion(QSqlDatabase &db, int version);

// SQLite's primary result code of an error.
int resultCode(const QSqlError &error);
// The codes that mean the file itself is not a sound database.
bool meansDamage(int resultCode);

} // namespace StoreSchema
