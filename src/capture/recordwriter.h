#pragma once

#include "capture/pendingcaptures.h"
#include "store/currentrecord.h"

#include <QString>
#include <functional>

class Clock;
class ProgramFolder;
class RecordStore;
class ShellOpener;
struct Settings;

// Turns a capture into a stored record: derives the title, writes the text as a GBK ".txt"
// file into the save folder, adds its row to the record database and, when asked to, opens
// the file in the chosen editor. Needs no window: the capture window hands in its text,
// source and category and acts on the outcome.
class RecordWriter final
{
public:
    struct Context
    {
        const Settings &settings;
        RecordStore &store;
        const ProgramFolder &programFolder;
        const Clock &clock;
        ShellOpener &shell;
    };

    enum class Outcome {
        Stored,                  // the capture window empties and hides
        StoredUnderFallbackName, // the title was refused as a file name; the window stays as it is
        Failed,                  // nothing acknowledged; the window keeps the capture
    };

    // What one capture stores.
    struct Capture
    {
        QString text;
        QString source;   // the page's address; may be empty
        QString category; // the category's name, as records store it
    };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        QString filePath;  // the ".txt" file stored, when one was
        qint64 rowId = 0;  // its row, when one was added
        QString error;     // for Failed: what went wrong, for the user
    };

    explicit RecordWriter(Context context);
    Q_DISABLE_COPY_MOVE(RecordWriter)

    // Opens a file in the built-in editor; empty until the editor is wired in.
    void setOpenInEditor(std::function<void(const QString &path)> openInEditor);

    // Test seam: called between a capture's file and its row; returning false ends the capture
    // there, as a kill would, leaving the file and its pending note.
    void setFileWrittenHook(std::function<bool()> hook) { m_fileWrittenHook = std::move(hook); }

    // The notes of captures under way ("pending-captures" in the program folder).
    static QString pendingFolder(const ProgramFolder &programFolder);

    // Stores the capture's text as a file and its row.
    Result save(const Capture &capture);
    // The source of a stored capture came only after it was stored: its row takes it.
    bool amendSource(qint64 rowId, const QString &source);

private:
    QString saveFolderPath() const;
    QString freeBaseName(const QString &folder, const QString &baseName) const;
    // Writes the file, named `baseName` or a free variant of it, and adds the record's row; on failure
    // removes the file it wrote and fills result.error, which names `title`, the title the user's text gave.
    bool writeAndRecord(CurrentRecord record, const QString &baseName, const QString &title, const QString &text,
                        Result &result);
    static bool discardFile(const QString &path);
    void openInChosenEditor(const QString &textPath, const QString &text);

    Context m_context;
    std::function<void(const QString &)> m_openInEditor;
    PendingCaptures m_pending;
    std::function<bool()> m_fileWrittenHook;
};
