#pragma once

#include "store/record.h"

#include <QString>
#include <functional>

class FileStampReader;
class QSqlDatabase;

// The full-text index of the records' files, in its own SQLite file beside the record
// database, attached to the record database's connection as the schema "search"
// (StoreSchema owns its tables). It holds one entry per indexed record (its file path,
// size and modification time, to notice changed files) and an FTS5 table of the file's
// words (SearchTokens) filed under the entry's number. The words are not stored again (a
// contentless table), so the index stays small; they cannot be taken out one by one either.
// A replaced or removed entry's number is never given again, so its words stay behind
// unreachable, and a search joins through the entries. When such dead words grow past a
// share of the index, or the tokenizer changed, the background pass builds the index again
// beside the one in use and puts it in its place.
class SearchIndex final
{
public:
    struct PassResult
    {
        int indexed = 0;
        int unreadable = 0;
        // The whole index was built again (dead words, another tokenizer).
        bool rebuilt = false;
    };

    // The index file for a record database: "filesearch.db" in the same folder.
    static QString pathFor(const QString &databasePath);

    // Files `text`, just written to `filePath`, under the record, without reading it back.
    static bool indexText(QSqlDatabase &db, qint64 recordId, const QString &filePath, const QString &text);
    // Indexes the text of one record's file. False when the file cannot be read or the
    // index cannot be written; the record itself is never touched.
    static bool indexRecord(QSqlDatabase &db, qint64 recordId, const QString &filePath);
    static bool forgetRecord(QSqlDatabase &db, qint64 recordId);

    // True while the file at `path` has the size and modification time it had when indexed.
    static bool isUnchanged(FileStampReader &files, const QString &path, qint64 size, qint64 modified);

    // Indexes every record whose file is new or changed since it was indexed, forgets
    // records that are gone, and gives the space of dead words back, committing in short
    // transactions. Stops when `keepGoing` says so; the next pass goes on from there.
    static bool indexPending(QSqlDatabase &db, const std::function<bool()> &keepGoing, PassResult *result,
                             QString *error);
};
