#pragma once

#include "store/currentrecord.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

class RecordStore;

// Notes of the captures under way, so that a capture cut off between its file and its row (a
// crash, a kill) is completed at the next start with its category and source. A note is written
// before the file and removed after the row; it holds the capture whole (the row's values, the
// day and the file's bytes), so even a capture cut off before its file was written is stored.
// Notes are written atomically (a temporary name, then a rename) but not synced: they guard
// against the program's end, not against the machine's.
class PendingCaptures final
{
public:
    struct Capture
    {
        CurrentRecord record;
        QDate date;
        QByteArray fileBytes;
    };

    struct Completion
    {
        // The titles of the captures completed now.
        QStringList completed;
        // What could not be completed, for the user; the notes stay for the next start.
        QStringList problems;
    };

    // The notes live in `folder`, created on first use.
    explicit PendingCaptures(QString folder);

    // Notes the capture; the note's path, or the empty text when it could not be written (the
    // capture then goes on without one).
    QString add(const Capture &capture) const;
    // Removes a note once its capture is stored, or given up with its file removed.
    static void remove(const QString &notePath);

    // Completes the capture of every note left: adds the row where the file exists and no row
    // names it, writes the file first where it is missing, and removes the note.
    Completion completeAll(RecordStore &store) const;

    static std::optional<Capture> read(const QString &notePath);

private:
    QString m_folder;
};
