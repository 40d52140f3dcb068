#include "app/appcontext.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Notavo"));
    AppContext context(ProgramFolder::locate(), std::make_unique<SystemClock>(), createShellOpener(),
                       createDialogs(), createAutoRunEntry());
    context.settingsStore.readSysTem(context.settings);
    if (qEnvironmentVariableIsSet("NOTAVO_QUIT_AFTER_START"))
        QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}
