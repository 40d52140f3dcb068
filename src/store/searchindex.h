#pragma once

#include "store/record.h"

#include <QString>
#include <functional>

class QSqlDatabase;

// The full-text index of the records' files, in its own SQLite file beside the record
// database, attached to the record database's connection as the schema "search". It holds
// one row per indexed record (its file path, size and modification time, to notice changed
// files) and an FTS5 table of the file's words (SearchTokens). The words are not stored
// again (a contentless table), so the index stays small; a re-indexed or removed record
// leaves its old words behind, unreachable, and searches join through the record rows.
class SearchIndex final
{
public:
    struct PassResult
    {
        int indexed = 0;
        int unreadable = 0;
    };

    // The index file for a record database: "filesearch.db" in the same folder.
    static QString pathFor(const QString &databasePath);

    // Attaches (creating when missing) the index to an open record database connection.
    static bool attach(QSqlDatabase &db, const QString &databasePath, QString *error);

    // Indexes the text of one record's file. False when the file cannot be read or the
    // index cannot be written; the record itself is never touched.
    static bool indexRecord(QSqlDatabase &db, qint64 recordId, const QString &filePath);
    static bool forgetRecord(QSqlDatabase &db, qint64 recordId);

    // Indexes every record whose file is new or changed since it was indexed, and forgets
    // records that are gone, committing in small batches. Stops when `keepGoing` says so.
    static bool indexPending(QSqlDatabase &db, const std::function<bool()> &keepGoing, PassResult *result,
                             QString *error);
};
