#include "app/appcontext.h"
#include "app/application.h"
#include "app/displaycheck.h"
#include "app/terminationsignals.h"
#include "app/trayicon.h"
#include "capture/pointerprobe.h"
#include "platform/sourcediscovery.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>
#include <cstdio>

namespace {

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
    if (!prepareDisplay())
        return 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Notavo"));
    QApplication::setWindowIcon(TrayIcon::programIcon());

    QTranslator qtTranslations;
    if (qtTranslations.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    AppContext context(ProgramFolder::locate(), std::make_unique<SystemClock>(), createShellOpener(),
                       createDialogs(), createAutoRunEntry());
    SourceDiscoveryOptions discoveryOptions;
    discoveryOptions.mayTurnOnAccessibility = context.settingsStore.mayTurnOnAccessibility();
    discoveryOptions.accessibilityNotePath = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QStringLiteral("/accessibility-switched-on");
    // Ends after the windows: its end switches the desktop's accessibility back off when it switched it on.
    const std::unique_ptr<SourceDiscovery> discovery = createSourceDiscovery(discoveryOptions);
    const std::unique_ptr<PointerProbe> pointer = createPointerProbe();
    Application application(context, *discovery, *pointer);
    application.setStartInPenMode(qEnvironmentVariableIsSet("NOTAVO_START_IN_PEN_MODE"));
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
    return app.exec();
}
