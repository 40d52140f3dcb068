#pragma once

#include <QString>
#include <functional>

class Clock;
class Dialogs;
class QWidget;
class RecordStore;
class ShellOpener;
struct Record;
struct Settings;

// What the history browser does with a record: open its file in the chosen editor, open its
// source, delete it. Widget-free: the window only says which record.
class RecordActions final
{
public:
    struct Services
    {
        RecordStore &store;
        // Read for the editor choice.
        const Settings &settings;
        const Clock &clock;
        ShellOpener &shell;
        Dialogs &dialogs;
        // Opens a file in the built-in editor; may be empty.
        std::function<void(const QString &path)> openInEditor;
        // Shows the file finder looking for the file name `pattern`; may be empty.
        std::function<void(const QString &pattern)> showFinder;
    };

    enum class OpenOutcome {
        InEditor,
        WithShell,
        Converted,
        FinderShown,
        MissingDeclined,
        Failed,
    };

    enum class DeleteOutcome {
        Deleted,
        Declined,
        // The database refused; its reason was shown.
        Failed,
    };

    explicit RecordActions(Services services);

    // Opens the record's file in the chosen editor; a file that has gone offers the finder.
    OpenOutcome openFile(const Record &record, QWidget *parent);
    // Opens the record's source: an address or a document, never a program (see OpenTarget),
    // and says why when it opens nothing. A web source opens at the record's quote.
    void openSource(const Record &record, QWidget *parent);
    // Asks whether to delete the record's row and deletes that very row on yes. The file stays.
    DeleteOutcome deleteRecord(const Record &record, QWidget *parent);

private:
    Services m_services;
};
