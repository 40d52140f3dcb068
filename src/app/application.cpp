#include "app/application.h"

#include "app/aboutbox.h"
#include "app/appcontext.h"
#include "app/splashwindow.h"
#include "app/waylandsession.h"
#include "capture/capturewindow.h"
#include "platform/sourcediscovery.h"
#include "capture/clipboardsecrecy.h"
#include "platform/topedgetriggers.h"
#include "settings/settingsdialog.h"

#include <QApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QMenu>

Application::Application(AppContext &context, SourceDiscovery &discovery, const PointerProbe &pointer,
                         QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_discovery(discovery)
    , m_pointer(pointer)
    , m_writer(RecordWriter::Context{context.settings, context.store, context.programFolder, *context.clock,
                                     *context.shell})
    , m_windows(context, m_messenger.showFunction())
    , m_quit([] { QCoreApplication::quit(); })
    , m_indexWorker(context.store.databasePath())
{
    m_writer.setOpenInEditor([this](const QString &path) { m_windows.openInEditor(path); });
    m_indexRetry.setSingleShot(true);
    connect(&m_indexRetry, &QTimer::timeout, this, &Application::startBackgroundIndexing);
    connect(&m_indexWorker, &StoreWorker::finished, this, &Application::onBackgroundIndexingFinished);
    // A capture the index missed, a delete it could not note, a changed file a search met:
    // a background pass brings the index up to date.
    context.store.setIndexBehindHandler([this] { scheduleBackgroundIndexing(); });
    m_tray.setSettingsAction([this] { m_windows.showSettings(); });
    m_tray.setHistoryActions([this] { m_windows.showHistory(); }, [this] { m_windows.closeHistory(); });
    EditorController &editor = m_windows.editor();
    m_tray.setEditorActions([&editor] { editor.restore(); }, [&editor] { editor.minimize(); });
    connect(&editor, &EditorController::trayMarksChanged, &m_tray, &TrayIcon::setEditorShown);
    connect(&editor, &EditorController::aboutRequested, this, &Application::showAbout);
    connect(&m_tray, &TrayIcon::webModeRequested, this, [this] {
        // The web-mode tick takes over: it shows the bar when the pointer is at the top.
        if (m_capture)
            m_capture->switchToWebMode();
    });
    connect(&m_tray, &TrayIcon::penModeRequested, this, [this] {
        if (!m_capture)
            return;
        m_capture->switchToPenMode();
        m_capture->show();
    });
    connect(&m_tray, &TrayIcon::exitRequested, this, &Application::exit);
    connect(&m_windows, &ProgramWindows::accessibilityChoiceChanged, &m_discovery,
            &SourceDiscovery::setMayTurnOnAccessibility);
}

Application::~Application()
{
    m_context.store.setIndexBehindHandler({});
    // The windows refer to the context and the services: they go first.
    delete m_splash.data();
    delete m_capture.data();
    delete m_about.data();
}

void Application::start()
{
    // While the program lives in the tray, closing a message or the about box must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    m_splash = new SplashWindow;
    connect(m_splash, &SplashWindow::captureWindowDue, this, &Application::showCaptureAndTray);
    connect(m_splash, &SplashWindow::finished, this, [this] {
        if (m_splash)
            m_splash->deleteLater();
        startBackgroundIndexing();
        showWaylandNotice();
        Q_EMIT started();
    });
    SettingsDialog::runStartupCheck(m_context.settingsStore, m_context.settings, m_context.programFolder,
                                  m_messenger.showFunction());
    m_context.settingsStore.readSettings(m_context.settings);
    completePendingCaptures();
    m_splash->start();
}

void Application::completePendingCaptures()
{
    // Before any new capture: a capture cut off at the last run gets its row, category and source.
    const PendingCaptures pending(RecordWriter::pendingFolder(m_context.programFolder));
    const PendingCaptures::Completion completion = pending.completeAll(m_context.store);
    QStringList lines = completion.problems;
    if (!completion.completed.isEmpty()) {
        lines.prepend(QStringLiteral("上次中断的记录已补存：“%1”。")
                          .arg(completion.completed.join(QStringLiteral("”、“"))));
    }
    if (!lines.isEmpty())
        m_messenger.showBelow(lines.join(u'\n'));
}

void Application::startBackgroundIndexing()
{
    if (m_indexWorker.isRunning()) {
        m_indexAgain = true;
        return;
    }
    auto counts = std::make_shared<IndexCounts>();
    m_indexCounts = counts;
    m_indexWorker.start([counts](RecordStore &store, const std::atomic_bool &stopRequested) {
        counts->ok = store.indexPendingRecords([&stopRequested] { return !stopRequested; }, &counts->indexed,
                                               &counts->unreadable);
        counts->error = store.lastError();
        counts->notice = store.takeSearchNotice();
    });
}

void Application::onBackgroundIndexingFinished()
{
    const std::shared_ptr<IndexCounts> counts = std::exchange(m_indexCounts, {});
    // The pass may be the first to find the index damaged: it set it aside and built it again.
    if (counts && !counts->notice.isEmpty())
        m_messenger.show(counts->notice);
    if (counts && !counts->ok)
        qWarning().noquote() << counts->error;
    else if (counts && (counts->indexed || counts->unreadable))
        qInfo("search index: %d files indexed, %d unreadable", counts->indexed, counts->unreadable);
    // An index that could not be written (read-only, locked by another program) is tried again
    // later; one that fell behind while the pass ran gets another pass at once.
    if (counts && !counts->ok)
        m_indexRetry.start(kIndexRetryMs);
    else if (std::exchange(m_indexAgain, false))
        m_indexRetry.start(kIndexSoonMs);
}

void Application::scheduleBackgroundIndexing()
{
    if (!m_indexRetry.isActive())
        m_indexRetry.start(kIndexSoonMs);
}

void Application::showCaptureAndTray()
{
    if (m_capture)
        return;
    useWaylandFeatures();
    m_capture = new CaptureWindow(CaptureWindow::Services{m_writer, m_discovery, *m_context.dialogs, m_pointer,
                                                          m_clipboardWatcher.get(), m_topEdge.get()});
    m_capture->setShowMessage(m_messenger.showFunction());
    connect(m_capture, &CaptureWindow::modeChanged, &m_tray,
            [this](CaptureWindow::Mode mode) { m_tray.setPenModeChecked(mode == CaptureWindow::Mode::Pen); });
    connect(m_capture, &CaptureWindow::menuRequested, this, &Application::showTrayMenu);
    connect(m_capture, &CaptureWindow::captureStored, &m_tray, &TrayIcon::confirmStored);
    m_capture->show();
    m_tray.install();
    if (m_startInPenMode) {
        m_capture->switchToPenMode();
        m_capture->show();
    }
    const QList<StartRequest::Action> waiting = std::exchange(m_waitingActions, {});
    for (const StartRequest::Action action : waiting)
        carryOutAction(action);
}

void Application::useWaylandFeatures()
{
    if (!m_wayland.reached)
        return;
    // Xwayland programs reach data control too: with it, Qt's clipboard is not read at all.
    if (m_wayland.dataControl())
        m_clipboardWatcher = createDataControlClipboard(&ClipboardSecrecy::isSecret);
    // X11 does not see the pointer over Wayland windows: a strip at the top edge does.
    m_topEdge = createTopEdgeTrigger(m_wayland);
}

void Application::showWaylandNotice()
{
    WaylandSession::Facts facts;
    facts.throughXWayland = WaylandSession::runsThroughXWayland(
        QGuiApplication::platformName(), qgetenv("XDG_SESSION_TYPE"), qgetenv("WAYLAND_DISPLAY"));
    facts.features = m_wayland;
    facts.clipboardWatched = m_clipboardWatcher != nullptr;
    // Once per start, below any start-up message, so that neither hides the other.
    const QString notice = WaylandSession::notice(facts);
    if (!notice.isEmpty())
        m_messenger.showBelow(notice);
}

void Application::showTrayMenu(const QPoint &globalPosition)
{
    // The capture window carries the tray's menu, for desktops that show no tray icons.
    m_tray.menu()->popup(globalPosition);
}

void Application::carryOut(const StartRequest &request)
{
    for (const QString &file : request.files)
        m_windows.openInEditor(file);
    if (!m_capture) {
        m_waitingActions.append(request.actions);
        return;
    }
    for (const StartRequest::Action action : request.actions)
        carryOutAction(action);
}

void Application::takeLaterStart(const StartRequest &request)
{
    if (request.isEmpty())
        m_windows.showHistory();
    else
        carryOut(request);
}

void Application::carryOutAction(StartRequest::Action action)
{
    // A mode asked for again leaves the capture under way alone; pen mode's box comes forward.
    const bool penMode = m_capture->mode() == CaptureWindow::Mode::Pen;
    if (action == StartRequest::Action::Pen && penMode) {
        m_capture->show();
        return;
    }
    if (action == StartRequest::Action::Web && !penMode)
        return;
    m_tray.entry(action)->trigger();
}

void Application::showAbout()
{
    if (!m_about)
        m_about = new AboutBox;
    m_about->show();
    m_about->raise();
}

void Application::exit()
{
    m_tray.remove();
    m_windows.closeBeforeCapture();
    QList<QPointer<QWidget>> closing{m_capture.data()};
    closing.append(m_splash.data());
    for (const QPointer<QWidget> &window : std::as_const(closing)) {
        if (window) {
            window->close();
            window->deleteLater();
        }
    }
    m_windows.closeAfterCapture();
    // A message or the about box still open keeps the program until the user closes it.
    QApplication::setQuitOnLastWindowClosed(true);
    if (!anyWindowKeepsProgram())
        m_quit();
}

bool Application::anyWindowKeepsProgram() const
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        if (window->isVisible() && window->testAttribute(Qt::WA_QuitOnClose))
            return true;
    }
    return false;
}
