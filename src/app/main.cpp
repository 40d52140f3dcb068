#include "app/appcontext.h"
#include "app/application.h"
#include "app/commandline.h"
#include "platform/displaycheck.h"
#include "app/singleinstance.h"
#include "app/terminationsignals.h"
#include "app/trayicon.h"
#include "capture/pointerprobe.h"
#include "common/version.h"
#include "platform/sourcediscovery.h"
#include "platform/waylandfeatures.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>
#include <cstdio>
#include <optional>

namespace {

// Qt's own texts (standard buttons, dialogs, the command line's help) in Chinese, and dates and
// numbers in Qt's dialogs the Chinese way, whatever the session's language.
void loadQtTranslations(QTranslator &translator)
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    if (translator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

// Qt's file dialogs show dates and sizes in the system locale, which Qt reads from the
// environment once, at its first use: let it read Chinese, and leave the environment (what the
// C library and the programs Notavo starts see) as the session set it.
void readSystemLocaleAsChinese()
{
    const bool wasSet = qEnvironmentVariableIsSet("LC_ALL");
    const QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", "zh_CN.UTF-8");
    QLocale::system();
    if (wasSet)
        qputenv("LC_ALL", saved);
    else
        qunsetenv("LC_ALL");
}

// Reads the command line and, when the program already runs in this session, hands the
// request over to it. Needs no display. Returns the exit status when this start ends here.
std::optional<int> handleCommandLine(int &argc, char **argv, SingleInstance &instance, StartRequest &request)
{
    QCoreApplication core(argc, argv);
    QTranslator qtTranslations;
    loadQtTranslations(qtTranslations);
    request = CommandLine::parse(core);
    if (instance.acquire())
        return std::nullopt;
    if (instance.handOver(request))
        return 0;
    std::fprintf(stderr, "%s\n",
                 QStringLiteral("Notavo: 已有一个 Notavo 在运行，但它没有应答。").toLocal8Bit().constData());
    return 1;
}

// Web mode needs the global pointer position and topmost placement, which X11 gives: use
// the xcb platform (XWayland inside Wayland sessions) unless the user chose another.
bool prepareDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("xcb"))
        return true;
    QString display;
    if (canReachDisplay(&display))
        return true;
    const QString line = display.isEmpty()
        ? QStringLiteral("Notavo: 找不到 X 显示服务器（未设置 DISPLAY），程序无法启动。")
        : QStringLiteral("Notavo: 无法连接 X 显示服务器 %1，程序无法启动。").arg(display);
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    return false;
}

} // namespace

// Environment read by the program (for tests and benchmarks only):
//   NOTAVO_QUIT_AFTER_START  ends the program through the tray's exit once start-up is over,
//                            whatever windows are still open;
//   NOTAVO_START_IN_PEN_MODE starts the capture window in pen mode instead of web mode.
int main(int argc, char *argv[])
{
    readSystemLocaleAsChinese();
    QCoreApplication::setApplicationName(QStringLiteral("Notavo"));
    QCoreApplication::setApplicationVersion(Version::number());
    SingleInstance instance(SingleInstance::defaultFolder());
    StartRequest request;
    if (const std::optional<int> status = handleCommandLine(argc, argv, instance, request))
        return *status;

    if (!prepareDisplay())
        return 1;
    QApplication app(argc, argv);
    QApplication::setWindowIcon(TrayIcon::programIcon());

    QTranslator qtTranslations;
    loadQtTranslations(qtTranslations);

    AppContext context(ProgramFolder::locate(), std::make_unique<SystemClock>(), createShellOpener(),
                       createDialogs(), createAutoRunEntry());
    // Started with the session from where it was before a move or an install: start from here now.
    context.autoRun->followProgram(QCoreApplication::applicationFilePath());
    SourceDiscoveryOptions discoveryOptions;
    discoveryOptions.mayTurnOnAccessibility = context.settingsStore.mayTurnOnAccessibility();
    discoveryOptions.accessibilityNotePath = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QStringLiteral("/accessibility-switched-on");
    // Ends after the windows: its end switches the desktop's accessibility back off when it switched it on.
    const std::unique_ptr<SourceDiscovery> discovery = createSourceDiscovery(discoveryOptions);
    const std::unique_ptr<PointerProbe> pointer = createPointerProbe();
    Application application(context, *discovery, *pointer);
    application.setStartInPenMode(qEnvironmentVariableIsSet("NOTAVO_START_IN_PEN_MODE"));
    application.setWaylandFeatures(probeWaylandFeatures());
    if (qEnvironmentVariableIsSet("NOTAVO_QUIT_AFTER_START")) {
        // Ends even when a start-up message is still open.
        QObject::connect(&application, &Application::started, &application, [&application] {
            application.exit();
            QCoreApplication::quit();
        });
    }
    // Asked to end by the session or a signal: end as through the tray's exit, so that what
    // the program changed on the desktop is put back.
    onTerminationSignals(&application, [&application] {
        application.exit();
        QCoreApplication::quit();
    });
    application.start();
    application.carryOut(request);
    // Later starts in this session come here: the tray entries they name are carried out and
    // their files open in the built-in editor; a bare one brings the history browser forward,
    // as a left click on the tray icon does.
    QObject::connect(&instance, &SingleInstance::requestReceived, &application, &Application::takeLaterStart);
    instance.listen();
    return app.exec();
}
