#pragma once

#include "editor/editorcontroller.h"
#include "editor/editorwindow.h"
#include "finder/finderwindow.h"
#include "help/helpviewer.h"
#include "history/historywindow.h"
#include "settings/settingsdialog.h"

#include <QObject>
#include <QPointer>
#include <functional>

struct AppContext;

// The secondary windows the tray and the editor open: the history browser, the file finder,
// the settings dialog, the help viewer and the built-in editor. Each is created on first use
// and held only while it is open.
class ProgramWindows final : public QObject
{
    Q_OBJECT

public:
    ProgramWindows(AppContext &context, std::function<void(const QString &)> showMessage,
                   QObject *parent = nullptr);
    ~ProgramWindows() override;
    Q_DISABLE_COPY_MOVE(ProgramWindows)

    EditorController &editor() { return m_editor; }
    HistoryWindow *history() const { return m_history; }
    SettingsDialog *settingsDialog() const { return m_settings; }
    FinderWindow *finder() const { return m_finder; }

    void showHistory();
    void closeHistory();
    void showSettings();
    void showHelp();
    // Shows the file finder with `pattern` in its pattern box (unless it is searching); a window
    // of its own, so closing the history browser neither closes it nor stops its walk.
    void showFinder(const QString &pattern);
    void openInEditor(const QString &path);

    // The exit's order: the settings dialog, the editor frame; after the capture window,
    // the history browser and the file finder.
    void closeBeforeCapture();
    void closeAfterCapture();

Q_SIGNALS:
    // The settings dialog stored a new choice whether the program may switch the desktop's
    // accessibility on.
    void accessibilityChoiceChanged(bool may);

private:
    void recordSavedDocument(const QString &path, const QString &plainText);

    AppContext &m_context;
    std::function<void(const QString &)> m_showMessage;
    EditorController m_editor;
    QPointer<HistoryWindow> m_history;
    QPointer<SettingsDialog> m_settings;
    QPointer<HelpViewer> m_help;
    QPointer<FinderWindow> m_finder;
};
