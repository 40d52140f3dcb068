// Times one click on a history node: from the click until the grid shows the count.
// Usage: listing_bench DATABASE NODE_TEXT [--show]   (NODE_TEXT as the tree shows it: 小说)
#include "history/historytree.h"
#include "history/historywindow.h"
#include "history/recordgridmodel.h"
#include "common/programfolder.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "settings/settings.h"
#include "store/recordstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTextStream>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    RecordStore store(args.at(1));
    Settings settings;
    const ProgramFolder programFolder(QFileInfo(args.at(1)).absolutePath());
    SystemClock clock;
    const auto shell = createShellOpener();
    const auto dialogs = createDialogs();
    const QList<HistoryNode> &nodes = HistoryTree::nodes();
    const auto node = std::find_if(nodes.begin(), nodes.end(), [&](const HistoryNode &n) { return n.text == args.at(2); });
    if (node == nodes.end())
        return 2;
    // The window deletes itself when the application's end closes it.
    QPointer<HistoryWindow> window = new HistoryWindow(
        store, clock, *dialogs, [&] { return programFolder.filePath(QStringLiteral("myText")); },
        RecordActions({store, settings, clock, *shell, *dialogs, {}, {}}));
    const bool show = args.contains(QStringLiteral("--show"));
    if (show)
        window->show();

    QElapsedTimer timer;
    timer.start();
    window->listNode(node->key);
    const QString count = window->findChild<QLineEdit *>(QStringLiteral("fileCountField"))->text();
    app.processEvents();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    QTextStream(stdout) << seconds << ' ' << count << Qt::endl;
    if (show)
        return app.exec();
    delete window;
    return 0;
}
