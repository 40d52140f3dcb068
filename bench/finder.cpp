// Times a search: from the start until the result line shows, then writes the matches.
// Usage: finder_bench FOLDER PATTERN MATCHES_FILE [--show]
#include "finder/finderwindow.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "settings/settings.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QTextStream>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    Settings settings;
    const auto shell = createShellOpener();
    const auto dialogs = createDialogs();
    // The window deletes itself when the application's end closes it.
    QPointer<FinderWindow> window = new FinderWindow(settings, args.at(2), *shell, *dialogs, {});
    const bool show = args.contains(QStringLiteral("--show"));
    window->show();

    QElapsedTimer timer;
    QObject::connect(window, &FinderWindow::searchFinished, &app, [&] {
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        const QString line = window->findChild<QLabel *>(QStringLiteral("progressLabel"))->text();
        QFile out(args.at(3));
        if (out.open(QIODevice::WriteOnly)) {
            const QAbstractItemModel *model = window->findChild<QListView *>(QStringLiteral("matchList"))->model();
            QTextStream stream(&out);
            for (int row = 0; row < model->rowCount(); ++row)
                stream << model->index(row, 0).data().toString() << '\n';
        }
        QTextStream(stdout) << seconds << ' ' << line << Qt::endl;
        if (!show)
            app.quit();
    });
    timer.start();
    window->searchFrom(args.at(1));
    const int result = app.exec();
    delete window;
    return result;
}
