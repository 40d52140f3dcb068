#pragma once

#include <QList>
#include <QString>
#include <functional>

class Clock;
class Dialogs;
class QWidget;
class RecordGridModel;
class RecordStore;
class ShellOpener;
struct Settings;

// What the history grid does with a record: open its file in the chosen editor, open its
// source, delete it. Widget-free, so the window only routes mouse events here.
class RecordActions final
{
public:
    struct Context
    {
        RecordStore &store;
        const Settings &settings;
        // Set to the file name the finder is to search for when a record's file is missing.
        QString &findFileName;
        const Clock &clock;
        ShellOpener &shell;
        Dialogs &dialogs;
        // Opens a file in the built-in editor; may be empty.
        std::function<void(const QString &path)> openInEditor;
        // Shows the file finder, which starts from findFileName.
        std::function<void()> showFinder;
    };

    enum class OpenOutcome {
        InEditor,
        WithShell,
        Converted,
        FinderShown,
        MissingDeclined,
        Failed,
    };

    explicit RecordActions(Context context);

    // Double-click on 文件名 of a grid row.
    OpenOutcome openFile(const RecordGridModel &model, int gridRow, QWidget *parent);
    // Double-click on 资料来源 of a grid row: opens an address or a document, never a program
    // (see OpenTarget), and says why when it opens nothing. A web source opens at the record's quote.
    void openSource(const RecordGridModel &model, int gridRow, QWidget *parent);
    // Deletes the records of the given grid rows, asking once for each. Rows without a
    // record are passed over silently. `declined` runs after each "No".
    void deleteRows(RecordGridModel &model, const QList<int> &gridRows, QWidget *parent,
                    const std::function<void()> &declined);

    // The record's file: folder + name, with ".txt" added unless the path already ends in
    // ".txt" or ".TXT".
    static QString filePath(const QString &folder, const QString &name);
    // The RTF copy beside the file: the path without its last four characters, the day of
    // the month and the extension (".wps" or ".doc").
    static QString convertedPath(const QString &path, int dayOfMonth, const QString &extension);

private:
    static QString sourceAtQuote(const RecordGridModel &model, int gridRow, const QString &source);

    Context m_context;
};
