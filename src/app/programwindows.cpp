#include "app/programwindows.h"

#include "app/appcontext.h"
#include "app/savedrecord.h"
#include "settings/savefolder.h"

#include <QCoreApplication>

namespace {

void bringForward(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void closeNow(QWidget *window)
{
    if (window)
        window->close();
}

} // namespace

ProgramWindows::ProgramWindows(AppContext &context, std::function<void(const QString &)> showMessage,
                               QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_showMessage(std::move(showMessage))
    , m_editor(EditorController::Services{*context.clock, *context.dialogs,
                                          [&context] {
                                              return SaveFolder::effective(context.settings.saveFolder,
                                                                           context.programFolder);
                                          }})
{
    connect(&m_editor, &EditorController::documentSavedAs, this, &ProgramWindows::recordSavedDocument);
    connect(&m_editor, &EditorController::historyRequested, this, &ProgramWindows::showHistory);
    connect(&m_editor, &EditorController::helpRequested, this, &ProgramWindows::showHelp);
}

ProgramWindows::~ProgramWindows()
{
    // The program is ending: a rebuild stopped now has no one left to tell.
    if (m_history)
        m_history->setShowMessage({});
    delete m_history.data();
    delete m_settings.data();
    delete m_help.data();
    delete m_finder.data();
}

void ProgramWindows::openInEditor(const QString &path)
{
    m_editor.openInEditor(path);
}

void ProgramWindows::recordSavedDocument(const QString &path, const QString &plainText)
{
    // A document saved under a chosen name is listed in the history like a capture.
    CurrentRecord record;
    SavedRecord::fill(record, path, plainText);
    if (!m_context.store.addFileData(record, m_context.clock->today())) {
        m_context.dialogs->message(m_editor.frame(), Dialogs::systemTitle(),
                                   QStringLiteral("文件已保存，但记录未能写入数据库！\n") + m_context.store.lastError(),
                                   Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    }
}

void ProgramWindows::showHistory()
{
    if (!m_history) {
        AppContext &c = m_context;
        RecordActions actions({c.store, c.settings, *c.clock, *c.shell, *c.dialogs,
                               [this](const QString &path) { openInEditor(path); },
                               [this](const QString &pattern) { showFinder(pattern); }});
        m_history = new HistoryWindow(c.store, *c.clock, *c.dialogs,
                                      [&c] { return SaveFolder::effective(c.settings.saveFolder, c.programFolder); },
                                      std::move(actions));
        m_history->setShowMessage(m_showMessage);
    }
    bringForward(m_history);
}

void ProgramWindows::showFinder(const QString &pattern)
{
    if (!m_finder) {
        m_finder = new FinderWindow(m_context.settings, pattern, *m_context.shell, *m_context.dialogs,
                                    [this](const QString &path) { openInEditor(path); });
    } else if (!m_finder->isSearching()) {
        m_finder->setPattern(pattern);
    }
    bringForward(m_finder);
}

void ProgramWindows::closeHistory()
{
    closeNow(m_history);
}

void ProgramWindows::showSettings()
{
    if (!m_settings) {
        m_settings = new SettingsDialog(m_context.settingsStore, m_context.settings, m_context.programFolder,
                                      QCoreApplication::applicationFilePath(), m_showMessage);
        connect(m_settings, &SettingsDialog::accessibilityChoiceChanged, this,
                &ProgramWindows::accessibilityChoiceChanged);
    }
    bringForward(m_settings);
}

void ProgramWindows::showHelp()
{
    HelpViewer::showViewer(m_help, m_context.programFolder);
}

void ProgramWindows::closeBeforeCapture()
{
    closeNow(m_settings);
    m_editor.unload();
}

void ProgramWindows::closeAfterCapture()
{
    closeNow(m_history);
    closeNow(m_finder);
}
