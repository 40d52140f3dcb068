#include "app/aboutbox.h"
#include "app/appcontext.h"
#include "app/application.h"
#include "app/messagewindow.h"
#include "app/singleinstance.h"
#include "app/splashwindow.h"
#include "app/waylandsession.h"
#include "capture/capturewindow.h"
#include "common/twips.h"
#include "capture/pointerprobe.h"
#include "capture/recordwriter.h"
#include "editor/editorwindow.h"
#include "editor/documentwindow.h"
#include "editor/documenttextedit.h"
#include "finder/finderwindow.h"
#include "history/historywindow.h"
#include "settings/settingsdialog.h"
#include "platform/testing/fakeautorunentry.h"
#include "platform/testing/fakeclock.h"
#include "platform/testing/fakesourcediscovery.h"
#include "platform/testing/recordingshellopener.h"
#include "platform/testing/scripteddialogs.h"
#include "support/foreignconnection.h"
#include "support/readonlypath.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTest>
#include <QThread>

namespace {

class StillPointer final : public PointerProbe
{
public:
    QPoint position() const override { return {640, 400}; }
    QWidget *widgetAt(const QPoint &) const override { return nullptr; }
};

struct Rig
{
    Rig()
        : context(ProgramFolder(dir.path()), std::make_unique<FakeClock>(), std::make_unique<RecordingShellOpener>(),
                  std::make_unique<ScriptedDialogs>(), std::make_unique<FakeAutoRunEntry>())
        , application(context, discovery, pointer)
    {
        application.setQuit([this] { ++quits; });
        // An existing save folder: start-up shows no warning unless a test asks for one.
        writeSaveFolder(dir.path());
    }

    void writeSaveFolder(const QString &folder)
    {
        QVERIFY(context.settingsStore.saveSaveFolder(folder));
    }

    void runSplash(int ticks)
    {
        for (int i = 0; i < ticks && application.splash(); ++i)
            application.splash()->tick();
    }

    QTemporaryDir dir;
    AppContext context;
    FakeSourceDiscovery discovery;
    StillPointer pointer;
    Application application;
    int quits = 0;
};

QStringList captionsOf(const QMenu &menu)
{
    QStringList captions;
    const QList<QAction *> actions = menu.actions();
    for (const QAction *action : actions)
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

QAction *entry(const QMenu &menu, const QString &caption)
{
    const QList<QAction *> actions = menu.actions();
    for (QAction *action : actions) {
        if (action->text() == caption)
            return action;
    }
    return nullptr;
}

// Every visible part of `area` lies inside it and on no other.
void verifyLaidOut(const QWidget *area)
{
    QList<QRect> places;
    for (const QWidget *part : area->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (part->isHidden())
            continue;
        QVERIFY2(area->rect().contains(part->geometry()), qPrintable(part->objectName()));
        for (const QRect &other : std::as_const(places))
            QVERIFY2(!other.intersects(part->geometry()), qPrintable(part->objectName()));
        places.append(part->geometry());
    }
}

QPushButton *okButton(const QWidget *window)
{
    return window->findChild<QPushButton *>(QStringLiteral("okButton"));
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestApplication final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trayMenuEntriesAndMarks();
    void trayHooksEnableTheirEntries();
    void messagesReuseOneWindow();
    void trayAndEditorReachTheOtherWindows();
    void startUpBringsCaptureWindowAndTray();
    void firstStartStoresCapturesInMyTextWithoutWarning();
    void startCompletesACaptureCutOffBetweenFileAndRow();
    void trayModeCommandsAndToolbarKeepMarksInStep();
    void exitEndsProgramUnlessAWindowRemains();
    void aboutBox();
    void oneInstanceWhenTheRuntimeFolderCannotBeWritten();
    void startOptionsCarryOutTrayEntries();
    void captureWindowMenuIsTheTrayMenu();
    void settingsAccessibilityChoiceReachesTheDiscovery();
    void editorSaveAsIsRecordedInTheHistory();
};

void TestApplication::trayMenuEntriesAndMarks()
{
    TrayIcon tray;
    tray.install();
    QCOMPARE(tray.toolTip(), QStringLiteral("Notavo"));
    const QMenu &menu = *tray.menu();
    QCOMPARE(captionsOf(menu),
             (QStringList{QStringLiteral("&系统设置"), QStringLiteral("-"), QStringLiteral("&网上记录"),
                          QStringLiteral("&普通记录"), QStringLiteral("-"), QStringLiteral("&打开历史"),
                          QStringLiteral("&隐藏历史"), QStringLiteral("-"), QStringLiteral("&打开编辑"),
                          QStringLiteral("&隐藏编辑"), QStringLiteral("-"), QStringLiteral("&退    出")}));
    QVERIFY(entry(menu, QStringLiteral("&网上记录"))->isChecked());
    QVERIFY(!entry(menu, QStringLiteral("&普通记录"))->isChecked());
    QVERIFY(!entry(menu, QStringLiteral("&打开编辑"))->isChecked());
    QVERIFY(entry(menu, QStringLiteral("&隐藏编辑"))->isChecked());
    // Without their hooks, the entries of the other windows stay disabled.
    for (const QString &waiting : {QStringLiteral("&系统设置"), QStringLiteral("&打开历史"), QStringLiteral("&隐藏历史"),
                                   QStringLiteral("&打开编辑"), QStringLiteral("&隐藏编辑")})
        QVERIFY2(!entry(menu, waiting)->isEnabled(), qPrintable(waiting));
    QVERIFY(entry(menu, QStringLiteral("&退    出"))->isEnabled());

    tray.setEditorShown(true);
    QVERIFY(entry(menu, QStringLiteral("&打开编辑"))->isChecked());
    QVERIFY(!entry(menu, QStringLiteral("&隐藏编辑"))->isChecked());
}

void TestApplication::trayHooksEnableTheirEntries()
{
    TrayIcon tray;
    QStringList calls;
    tray.setSettingsAction([&calls] { calls.append(QStringLiteral("settings")); });
    tray.setHistoryActions([&calls] { calls.append(QStringLiteral("open history")); },
                           [&calls] { calls.append(QStringLiteral("close history")); });
    tray.setEditorActions([&calls] { calls.append(QStringLiteral("restore")); },
                          [&calls] { calls.append(QStringLiteral("minimise")); });
    const QMenu &menu = *tray.menu();
    for (const QString &caption : {QStringLiteral("&系统设置"), QStringLiteral("&打开历史"), QStringLiteral("&隐藏历史"),
                                   QStringLiteral("&打开编辑"), QStringLiteral("&隐藏编辑")}) {
        QVERIFY(entry(menu, caption)->isEnabled());
        entry(menu, caption)->trigger();
    }
    tray.activate(QSystemTrayIcon::Trigger);
    tray.activate(QSystemTrayIcon::Context);
    QCOMPARE(calls, (QStringList{QStringLiteral("settings"), QStringLiteral("open history"),
                                 QStringLiteral("close history"), QStringLiteral("restore"),
                                 QStringLiteral("minimise"), QStringLiteral("open history")}));
    // The last editor command was 隐藏编辑: its mark stands, the other is cleared.
    QVERIFY(entry(menu, QStringLiteral("&隐藏编辑"))->isChecked());
    QVERIFY(!entry(menu, QStringLiteral("&打开编辑"))->isChecked());
}

void TestApplication::messagesReuseOneWindow()
{
    Messenger messenger;
    const auto show = messenger.showFunction();
    show(QStringLiteral("first"));
    MessageWindow *window = messenger.window();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("系统提示："));
    QCOMPARE(window->size(), Twips::size(4680, 1905));
    verifyLaidOut(window);
    show(QStringLiteral("second"));
    QCOMPARE(messenger.window(), window);
    QCOMPARE(window->message(), QStringLiteral("second"));

    QTest::mouseClick(okButton(window), Qt::LeftButton);
    flushDeletes();
    QVERIFY(!messenger.window());
    show(QStringLiteral("third"));
    QVERIFY(messenger.window());
    QCOMPARE(messenger.window()->message(), QStringLiteral("third"));

    // A long message makes the window taller instead of being cut off.
    const int designedHeight = messenger.window()->height();
    show(QStringLiteral("重建记录已停止：新增 1 条记录。\n跳过：不是 .txt 文件 2 个，无法读取 1 个，文件名无法识别 1 个。\n"
                        "尚有 1 个文件未处理，可再次重建记录以继续。"));
    QLabel *label = messenger.window()->findChild<QLabel *>(QStringLiteral("messageLabel"));
    QVERIFY(label->height() >= label->heightForWidth(label->width()));
    QVERIFY(messenger.window()->height() > designedHeight);
    QVERIFY(okButton(messenger.window())->geometry().top() >= label->geometry().bottom());
    verifyLaidOut(messenger.window());
    show(QStringLiteral("third"));
    QCOMPARE(messenger.window()->height(), designedHeight);

    // The Wayland notice goes below a start-up message instead of hiding it.
    WaylandSession::Facts unreached;
    unreached.throughXWayland = true;
    messenger.showBelow(WaylandSession::notice(unreached));
    QVERIFY(messenger.window()->message().startsWith(QStringLiteral("third\n\n未能连接到本桌面的 Wayland 混成器")));

    // Only what does not work is told: nothing on X11, on GNOME (the Xwayland clipboard is told
    // of Wayland copies) or where data control is read; the lost clipboard where it is not.
    WaylandSession::Facts x11;
    x11.features.reached = true;
    QVERIFY(WaylandSession::notice(x11).isEmpty());
    WaylandSession::Facts gnome;
    gnome.throughXWayland = true;
    gnome.features.reached = true;
    QVERIFY(WaylandSession::notice(gnome).isEmpty());
    WaylandSession::Facts wlroots = gnome;
    wlroots.features.layerShell = true;
    wlroots.features.wlrDataControl = true;
    wlroots.clipboardWatched = true;
    QVERIFY(WaylandSession::notice(wlroots).isEmpty());
    wlroots.clipboardWatched = false;
    QVERIFY(WaylandSession::notice(wlroots).contains(QStringLiteral("看不到在 Wayland 程序中复制的文字")));
    QVERIFY(WaylandSession::notice(wlroots).contains(QStringLiteral("拖到收集窗口上照常可用")));
    QVERIFY(WaylandSession::runsThroughXWayland(QStringLiteral("xcb"), "wayland", ""));
    QVERIFY(WaylandSession::runsThroughXWayland(QStringLiteral("xcb"), "x11", "wayland-0"));
    QVERIFY(!WaylandSession::runsThroughXWayland(QStringLiteral("xcb"), "x11", ""));
    QVERIFY(!WaylandSession::runsThroughXWayland(QStringLiteral("wayland"), "wayland", "wayland-0"));
}

void TestApplication::trayAndEditorReachTheOtherWindows()
{
    Rig rig;
    rig.application.start();
    rig.runSplash(20);
    ProgramWindows &windows = rig.application.windows();
    const QMenu &menu = *rig.application.tray().menu();

    rig.application.tray().activate(QSystemTrayIcon::Trigger);
    QPointer<HistoryWindow> history = windows.history();
    QVERIFY(history && history->isVisible());
    entry(menu, QStringLiteral("&打开历史"))->trigger();
    QCOMPARE(windows.history(), history.data());  // the same window brought forward
    // The finder the history browser offers is a window of its own: it outlives the browser.
    // It is shown with the pattern it is asked for, and asked again it takes the new one.
    windows.showFinder(QStringLiteral("笔记1.txt"));
    QPointer<FinderWindow> finder = windows.finder();
    QVERIFY(finder && finder->isVisible() && finder->isWindow() && !finder->parent());
    const auto *patternBox = finder->findChild<QComboBox *>(QStringLiteral("patternCombo"));
    QCOMPARE(patternBox->currentText(), QStringLiteral("笔记1.txt"));
    windows.showFinder(QStringLiteral("笔记2.txt"));
    QCOMPARE(windows.finder(), finder.data());
    QCOMPARE(patternBox->currentText(), QStringLiteral("笔记2.txt"));
    entry(menu, QStringLiteral("&隐藏历史"))->trigger();
    flushDeletes();
    QVERIFY(!history);
    QVERIFY(finder && finder->isVisible());

    entry(menu, QStringLiteral("&系统设置"))->trigger();
    QVERIFY(windows.settingsDialog() && windows.settingsDialog()->isVisible());

    entry(menu, QStringLiteral("&打开编辑"))->trigger();
    QVERIFY(windows.editor().frame() && windows.editor().frame()->isVisible());
    QVERIFY(entry(menu, QStringLiteral("&打开编辑"))->isChecked());
    entry(menu, QStringLiteral("&隐藏编辑"))->trigger();
    QVERIFY(entry(menu, QStringLiteral("&隐藏编辑"))->isChecked());

    // A capture stored with the built-in editor chosen opens in a document window.
    rig.context.settings.editor = EditorChoice::Editor::BuiltIn;
    rig.context.settings.autoOpen = true;
    const auto result = rig.application.recordWriter().save({QStringLiteral("打开我"), QString(), QStringLiteral("短句")});
    QCOMPARE(result.outcome, RecordWriter::Outcome::Stored);
    const QList<DocumentWindow *> documents = windows.editor().frame()->documents();
    QCOMPARE(documents.size(), 1);
    QCOMPARE(documents.first()->filePath(), result.filePath);

    rig.application.exit();
    flushDeletes();
    QVERIFY(!windows.settingsDialog());
    QVERIFY(!windows.editor().frame());
    QVERIFY(!finder);
}

void TestApplication::startUpBringsCaptureWindowAndTray()
{
    Rig rig;
    rig.writeSaveFolder(rig.dir.filePath(QStringLiteral("gone")));
    rig.application.start();
    SplashWindow *splash = rig.application.splash();
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->findChild<QLabel *>(QStringLiteral("productNameLabel"))->text(), QStringLiteral("Notavo"));
    QCOMPARE(splash->findChild<QLabel *>(QStringLiteral("versionLabel"))->text(), QStringLiteral("版本 2.0.1"));
    QCOMPARE(splash->size(), Twips::size(4305, 2715));
    verifyLaidOut(splash->findChild<QFrame *>(QStringLiteral("splashBorder")));
    QVERIFY(rig.application.messenger().window());

    rig.runSplash(9);
    QVERIFY(!rig.application.captureWindow());
    rig.runSplash(1);
    CaptureWindow *capture = rig.application.captureWindow();
    QVERIFY(capture);
    QVERIFY(capture->isVisible());
    QCOMPARE(capture->currentLayout(), CaptureLayout::Bar);
    QCOMPARE(capture->mode(), CaptureWindow::Mode::Web);
    QVERIFY(rig.application.tray().menu());

    QSignalSpy started(&rig.application, &Application::started);
    rig.runSplash(10);
    QCOMPARE(started.size(), 1);
    QVERIFY(!splash->isVisible());
    flushDeletes();
    QVERIFY(!rig.application.splash());
    // The warning outlives the splash.
    QVERIFY(rig.application.messenger().window()->isVisible());
    QCOMPARE(rig.application.captureWindow(), capture);
}

void TestApplication::firstStartStoresCapturesInMyTextWithoutWarning()
{
    Rig rig;
    QVERIFY(QFile::remove(rig.context.settingsStore.filePath()));
    rig.application.start();
    QVERIFY(!rig.application.messenger().window());
    const QString myText = rig.dir.filePath(QStringLiteral("myText"));
    QCOMPARE(rig.context.settings.saveFolder, myText);
    QVERIFY(QFileInfo(myText).isDir());

    rig.runSplash(10);
    CaptureWindow *capture = rig.application.captureWindow();
    QVERIFY(capture);
    capture->findChild<QPlainTextEdit *>(QStringLiteral("captureText"))->setPlainText(QStringLiteral("第一条，记录"));
    capture->findChild<QPushButton *>(QStringLiteral("categoryButton0"))->click();
    QVERIFY(QFileInfo::exists(QDir(myText).filePath(QStringLiteral("第一条.txt"))));
    QVERIFY(capture->captureText().isEmpty());
    // The window goes; the tray says what was stored.
    QCOMPARE(rig.application.tray().toolTip(), QStringLiteral("Notavo\n已记录《第一条》"));
    rig.runSplash(10);

    // 系统设置 → 确定 only to look: nothing starts with the system.
    entry(*rig.application.tray().menu(), QStringLiteral("&系统设置"))->trigger();
    SettingsDialog *dialog = rig.application.windows().settingsDialog();
    QVERIFY(dialog && !dialog->startWithSystemCheck()->isChecked());
    dialog->confirmButton()->click();
    QVERIFY(static_cast<FakeAutoRunEntry &>(*rig.context.autoRun).commands.isEmpty());
    QVERIFY(!rig.context.settings.autoRunProgram);
    QFile ini(rig.context.settingsStore.filePath());
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(!ini.readAll().contains("runFileName"));
}

void TestApplication::startCompletesACaptureCutOffBetweenFileAndRow()
{
    Rig rig;
    {
        // The last run was killed after the file was written, before its row.
        AppContext &c = rig.context;
        RecordWriter writer({c.settings, c.store, c.programFolder, *c.clock, *c.shell});
        writer.setFileWrittenHook([] { return false; });
        QCOMPARE(writer.save({QStringLiteral("被打断，的记录"), QStringLiteral("https://example.com/p"),
                              QStringLiteral("学习资料")})
                     .outcome,
                 RecordWriter::Outcome::Failed);
        QVERIFY(c.store.records()->isEmpty());
    }
    rig.application.start();
    const QList<Record> rows = rig.context.store.records().value();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].fileName, QStringLiteral("被打断"));
    QCOMPARE(rows[0].category, QStringLiteral("学习资料"));
    QCOMPARE(rows[0].source, QStringLiteral("https://example.com/p"));
    QVERIFY(rig.application.messenger().window());
    QCOMPARE(rig.application.messenger().window()->message(), QStringLiteral("上次中断的记录已补存：“被打断”。"));
    rig.runSplash(20);
}

void TestApplication::trayModeCommandsAndToolbarKeepMarksInStep()
{
    Rig rig;
    rig.application.start();
    rig.runSplash(10);
    CaptureWindow *capture = rig.application.captureWindow();
    const QMenu &menu = *rig.application.tray().menu();
    QAction *web = entry(menu, QStringLiteral("&网上记录"));
    QAction *pen = entry(menu, QStringLiteral("&普通记录"));

    capture->hide();
    pen->trigger();
    QCOMPARE(capture->mode(), CaptureWindow::Mode::Pen);
    QVERIFY(capture->isVisible());
    QCOMPARE(capture->currentLayout(), CaptureLayout::Pen);
    QVERIFY(pen->isChecked());
    QVERIFY(!web->isChecked());

    capture->findChild<QAction *>(QStringLiteral("webModeButton"))->trigger();
    QVERIFY(web->isChecked());
    QVERIFY(!pen->isChecked());
    capture->findChild<QAction *>(QStringLiteral("penModeButton"))->trigger();
    QVERIFY(pen->isChecked());

    web->trigger();
    QCOMPARE(capture->mode(), CaptureWindow::Mode::Web);
    QCOMPARE(capture->currentLayout(), CaptureLayout::Full);
    QVERIFY(web->isChecked());
    QVERIFY(!pen->isChecked());
    // Choosing the mode already on keeps its mark.
    web->trigger();
    QVERIFY(web->isChecked());
}

void TestApplication::exitEndsProgramUnlessAWindowRemains()
{
    {
        Rig rig;
        rig.application.start();
        rig.runSplash(20);
        QPointer<CaptureWindow> capture = rig.application.captureWindow();
        entry(*rig.application.tray().menu(), QStringLiteral("&退    出"))->trigger();
        QVERIFY(!rig.application.tray().isInstalled());
        QCOMPARE(rig.quits, 1);
        flushDeletes();
        QVERIFY(!capture);
    }
    {
        // A message still on screen keeps the program until it is closed.
        Rig rig;
        rig.application.start();
        rig.runSplash(20);
        rig.application.showMessageFunction()(QStringLiteral("still here"));
        rig.application.exit();
        QCOMPARE(rig.quits, 0);
        // Closing it then ends the event loop (Qt quits only from inside exec()).
        QVERIFY(QApplication::quitOnLastWindowClosed());
        QVERIFY(rig.application.messenger().window()->testAttribute(Qt::WA_QuitOnClose));
        QApplication::setQuitOnLastWindowClosed(false);
    }
}

void TestApplication::aboutBox()
{
    Rig rig;
    rig.application.showAbout();
    AboutBox *about = rig.application.aboutBox();
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), QStringLiteral("关于Notavo"));
    QStringList texts;
    const QList<QLabel *> labels = about->findChildren<QLabel *>();
    for (const QLabel *label : labels)
        texts.append(label->text());
    QVERIFY(texts.contains(QStringLiteral("版本 1.00")));
    QVERIFY(texts.contains(QStringLiteral("Notavo")));
    QCOMPARE(about->size(), Twips::size(4680, 3495));
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    verifyLaidOut(about);
    QTest::mouseClick(okButton(about), Qt::LeftButton);
    flushDeletes();
    QVERIFY(!rig.application.aboutBox());
}

void TestApplication::oneInstanceWhenTheRuntimeFolderCannotBeWritten()
{
    QTemporaryDir runtime;
    QTemporaryDir data;
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    const auto restore = qScopeGuard([&] {
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        qputenv("XDG_DATA_HOME", oldData);
    });
    // A runtime folder with the right permissions that still cannot be written (read-only).
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const ReadOnlyPath readOnly(runtime.path(), ReadOnlyPath::KeepBits);
    if (!readOnly.holds())
        QSKIP("the folder cannot be made read-only here (needs root and chattr)");

    // The lock goes to the data folder, and a second start finds it taken.
    const QString folder = SingleInstance::defaultFolder();
    QVERIFY2(folder.startsWith(data.path()), qPrintable(folder));
    SingleInstance first(folder);
    SingleInstance second(folder);
    QVERIFY(first.acquire());
    QVERIFY(first.listen());
    QVERIFY(!second.acquire());
    QSignalSpy received(&first, &SingleInstance::requestReceived);
    const auto handOver = [&second](const StartRequest &request) {
        bool handedOver = false;
        QThread *starter = QThread::create([&] { handedOver = second.handOver(request, 5000); });
        starter->start();
        // The running side answers from this thread's event loop; the start gives up after 5 s.
        while (!starter->isFinished())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        delete starter;
        return handedOver;
    };
    QVERIFY(handOver({}));
    QCOMPARE(received.size(), 1);
    QVERIFY(received.constLast().constFirst().value<StartRequest>().isEmpty());

    // Tray entries and files travel together, in their order.
    const StartRequest request{{StartRequest::Action::Settings, StartRequest::Action::Pen},
                               {QDir(runtime.path()).filePath(QStringLiteral("--笔记.txt")), QStringLiteral("/甲.txt")}};
    QVERIFY(handOver(request));
    QCOMPARE(received.size(), 2);
    QCOMPARE(received.constLast().constFirst().value<StartRequest>(), request);
}

void TestApplication::startOptionsCarryOutTrayEntries()
{
    Rig rig;
    rig.application.start();
    // Asked for during the splash: carried out once the capture window is there.
    rig.application.carryOut({{StartRequest::Action::Pen, StartRequest::Action::Settings}, {}});
    QVERIFY(!rig.application.windows().settingsDialog());
    rig.runSplash(10);
    CaptureWindow *capture = rig.application.captureWindow();
    QCOMPARE(capture->mode(), CaptureWindow::Mode::Pen);
    QVERIFY(rig.application.tray().entry(StartRequest::Action::Pen)->isChecked());
    QVERIFY(rig.application.windows().settingsDialog());

    // Pen mode asked for again leaves a capture under way as it is and brings the box forward.
    QGuiApplication::clipboard()->setText(QStringLiteral("收集中"));
    QCOMPARE(capture->currentLayout(), CaptureLayout::Full);
    const QString collected = capture->captureText();
    QVERIFY(collected.endsWith(QStringLiteral("收集中")));
    capture->hide();
    rig.application.takeLaterStart({{StartRequest::Action::Pen}, {}});
    QVERIFY(capture->isVisible());
    QCOMPARE(capture->currentLayout(), CaptureLayout::Full);
    QCOMPARE(capture->captureText(), collected);

    rig.application.takeLaterStart({{StartRequest::Action::Web}, {}});
    QCOMPARE(capture->mode(), CaptureWindow::Mode::Web);
    QVERIFY(rig.application.tray().entry(StartRequest::Action::Web)->isChecked());
    rig.application.takeLaterStart({{StartRequest::Action::Editor}, {}});
    QVERIFY(rig.application.windows().editor().frame() && rig.application.windows().editor().frame()->isVisible());
    QVERIFY(!rig.application.windows().history());
    rig.application.takeLaterStart({{StartRequest::Action::History}, {}});
    QVERIFY(rig.application.windows().history() && rig.application.windows().history()->isVisible());
    rig.application.windows().closeHistory();
    flushDeletes();
    // A bare later start shows the history browser; the first start's empty request does not.
    rig.application.carryOut({});
    QVERIFY(!rig.application.windows().history() || !rig.application.windows().history()->isVisible());
    rig.application.takeLaterStart({});
    QVERIFY(rig.application.windows().history() && rig.application.windows().history()->isVisible());
}

void TestApplication::settingsAccessibilityChoiceReachesTheDiscovery()
{
    Rig rig;
    rig.application.start();
    rig.runSplash(10);
    rig.application.windows().showSettings();
    SettingsDialog *dialog = rig.application.windows().settingsDialog();
    dialog->accessibilityCheck()->setChecked(false);
    dialog->confirmButton()->click();
    QCOMPARE(rig.discovery.accessibilityChoices, QList<bool>{false});
    QVERIFY(!rig.context.settingsStore.mayTurnOnAccessibility());
}

void TestApplication::captureWindowMenuIsTheTrayMenu()
{
    Rig rig;
    rig.application.start();
    rig.runSplash(10);
    CaptureWindow *capture = rig.application.captureWindow();
    QMenu *menu = rig.application.tray().menu();
    for (const CaptureWindow::Mode mode : {CaptureWindow::Mode::Web, CaptureWindow::Mode::Pen}) {
        if (mode == CaptureWindow::Mode::Pen)
            capture->switchToPenMode();
        capture->show();
        QVERIFY(QTest::qWaitForWindowExposed(capture));
        const QPoint at = capture->mapToGlobal(QPoint(30, 10));
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(30, 10), at);
        QApplication::sendEvent(capture, &click);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(QApplication::activePopupWidget(), menu);
        for (const StartRequest::Action action : StartRequest::allActions())
            QVERIFY(menu->actions().contains(rig.application.tray().entry(action)));
        menu->close();
        QTRY_VERIFY(!menu->isVisible());
    }
}

// The editor announces a document saved under a chosen name; the application adds its row, and
// says so when the row cannot be written, the file being saved all the same.
void TestApplication::editorSaveAsIsRecordedInTheHistory()
{
    Rig rig;
    auto &dialogs = static_cast<ScriptedDialogs &>(*rig.context.dialogs);
    rig.application.windows().editor().restore();
    EditorWindow *frame = rig.application.windows().editor().frame();
    QVERIFY(frame);
    frame->newDocument()->textEdit()->insertPlainText(QStringLiteral("三个\n字"));
    const QString path = QDir::toNativeSeparators(rig.dir.filePath(QStringLiteral("三个字.txt")));
    dialogs.fileNames.enqueue(path);
    frame->actions().saveAsAction->trigger();
    QVERIFY(QFileInfo::exists(path));
    const QList<Record> rows = rig.context.store.records().value_or(QList<Record>());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].fileName, QStringLiteral("三个字.txt"));
    QCOMPARE(rows[0].size, QStringLiteral("5"));  // a line break counts two
    QCOMPARE(rows[0].folder, QDir::toNativeSeparators(rig.dir.path()) + QDir::separator());
    QCOMPARE(rows[0].category, QStringLiteral("默认文本"));
    QCOMPARE(rows[0].source, QStringLiteral("Notavo"));
    QCOMPARE(rows[0].date, rig.context.clock->today());
    QVERIFY(dialogs.messages.isEmpty());

    // A database another program holds locked: the file is saved, the user is told why.
    ForeignConnection other(rig.context.store.databasePath());
    QVERIFY(other.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    const QString second = QDir::toNativeSeparators(rig.dir.filePath(QStringLiteral("另存.txt")));
    dialogs.fileNames.enqueue(second);
    frame->actions().saveAsAction->trigger();
    QVERIFY(QFileInfo::exists(second));
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY2(dialogs.messages[0].text.startsWith(QStringLiteral("文件已保存，但记录未能写入数据库！\n"))
                 && dialogs.messages[0].text.contains(QStringLiteral("锁定")),
             qPrintable(dialogs.messages[0].text));
    QCOMPARE(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QVERIFY(other.exec(QStringLiteral("COMMIT")));
    QCOMPARE(rig.context.store.records()->size(), 1);
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
