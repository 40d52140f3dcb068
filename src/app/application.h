#pragma once

#include "app/aboutbox.h"
#include "app/messenger.h"
#include "app/programwindows.h"
#include "app/splashwindow.h"
#include "app/trayicon.h"
#include "capture/capturewindow.h"
#include "capture/recordwriter.h"
#include "platform/clipboardwatcher.h"
#include "platform/topedgetrigger.h"
#include "platform/waylandfeatures.h"
#include "store/storeworker.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

class PointerProbe;
class SourceDiscovery;
struct AppContext;

// The running program: starts with the splash, brings up the capture window and the tray
// icon, wires them together and ends the program on the tray menu's exit command.
class Application final : public QObject
{
    Q_OBJECT

public:
    Application(AppContext &context, SourceDiscovery &discovery, const PointerProbe &pointer,
                QObject *parent = nullptr);
    ~Application() override;
    Q_DISABLE_COPY_MOVE(Application)

    // Shows the splash, checks the save folder and reads the settings.
    void start();
    // Splash tick 10: the capture window in web mode with the bar layout, and the tray icon.
    void showCaptureAndTray();
    // The tray menu's exit: removes the icon and closes the program's windows. The program
    // ends now, or when the last of its other windows (a message, the about box) is closed.
    void exit();

    // Carries out what a start asked for: the files open in the editor at once, the tray
    // entries once the capture window is there.
    void carryOut(const StartRequest &request);
    // A later start's request: a bare one brings the history browser forward.
    void takeLaterStart(const StartRequest &request);

    // Starts the capture window in pen mode instead of web mode (used by the benchmark).
    void setStartInPenMode(bool penMode) { m_startInPenMode = penMode; }
    // What the Wayland compositor offers, probed once before start; nothing on X11.
    void setWaylandFeatures(const WaylandFeatures &features) { m_wayland = features; }
    // The clipboard pen mode reads through data control, and web mode's top-edge strip;
    // null where the session has none.
    ClipboardWatcher *clipboardWatcher() const { return m_clipboardWatcher.get(); }
    // What ends the event loop; tests replace it.
    void setQuit(std::function<void()> quit) { m_quit = std::move(quit); }

    SplashWindow *splash() const { return m_splash; }
    CaptureWindow *captureWindow() const { return m_capture; }
    TrayIcon &tray() { return m_tray; }
    Messenger &messenger() { return m_messenger; }
    RecordWriter &recordWriter() { return m_writer; }
    AboutBox *aboutBox() const { return m_about; }
    ProgramWindows &windows() { return m_windows; }

    // The hook other parts of the program are handed to show a message.
    std::function<void(const QString &)> showMessageFunction() { return m_messenger.showFunction(); }
    // Shows the about box (created on first use).
    void showAbout();

Q_SIGNALS:
    // The splash has closed: start-up is over.
    void started();

private:
    void showTrayMenu(const QPoint &globalPosition);
    void carryOutAction(StartRequest::Action action);
    // Completes the captures that the last run was cut off in (a crash, a kill) and says so.
    void completePendingCaptures();
    struct IndexCounts
    {
        int indexed = 0;
        int unreadable = 0;
        bool ok = true;
        QString error;
        QString notice;
    };
    // A pass soon after the index fell behind, and later again after a pass failed.
    static constexpr int kIndexSoonMs = 1000;
    static constexpr int kIndexRetryMs = 30000;

    // Indexes, in a worker thread, the records the search index does not know yet (or again).
    void startBackgroundIndexing();
    void onBackgroundIndexingFinished();
    void scheduleBackgroundIndexing();
    bool anyWindowKeepsProgram() const;
    // Creates the data-control clipboard and the top-edge strip the session allows.
    void useWaylandFeatures();
    void showWaylandNotice();

    AppContext &m_context;
    SourceDiscovery &m_discovery;
    const PointerProbe &m_pointer;
    RecordWriter m_writer;
    Messenger m_messenger;
    TrayIcon m_tray;
    ProgramWindows m_windows;
    QPointer<SplashWindow> m_splash;
    QPointer<CaptureWindow> m_capture;
    QPointer<AboutBox> m_about;
    std::function<void()> m_quit;
    StoreWorker m_indexWorker;
    QTimer m_indexRetry;
    std::shared_ptr<IndexCounts> m_indexCounts;
    bool m_indexAgain = false;
    bool m_startInPenMode = false;
    // Tray entries asked for before the capture window was there.
    QList<StartRequest::Action> m_waitingActions;
    WaylandFeatures m_wayland;
    std::unique_ptr<ClipboardWatcher> m_clipboardWatcher;
    std::unique_ptr<TopEdgeTrigger> m_topEdge;
};
