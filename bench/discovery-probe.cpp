// Web mode's discovery as the capture window drives it: every 100 ms the tick asks for a
// refresh and reads the latest address. Prints the GUI-thread time of one tick and the
// process's CPU, both as shares, and the looks that ran, once the browser's address has been found.
// Usage: discovery-probe SECONDS READY_FILE [EXTRA_WINDOWS [WARM_UP_SECONDS]]
#include "platform/sourcediscovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Other top-level windows on the desktop, as a user has them.
void makeWindows(xcb_connection_t *connection, int count)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    for (int i = 0; i < count; ++i) {
        const xcb_window_t window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root, 10 * i, 10 * i, 300, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const QByteArray title = QByteArrayLiteral("Document ") + QByteArray::number(i + 1);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(title.size()), title.constData());
        xcb_map_window(connection, window);
    }
    xcb_flush(connection);
}

// CPU seconds of each of the process's threads, by name, to show where the time goes.
void printThreadCpu(const char *when)
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    const long hz = sysconf(_SC_CLK_TCK);
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task) + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('(');
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (open < 0 || close < 0 || fields.size() < 13)
            continue;
        const double seconds = double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) / double(hz);
        std::printf("%s thread %s cpu_s %.3f\n", when, line.mid(open + 1, close - open - 1).constData(), seconds);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: discovery-probe SECONDS READY_FILE [EXTRA_WINDOWS [WARM_UP_SECONDS]]\n");
        return 2;
    }
    const int seconds = QByteArray(argv[1]).toInt();
    const QString readyFile = QString::fromLocal8Bit(argv[2]);
    const int extraWindows = argc > 3 ? QByteArray(argv[3]).toInt() : 10;
    // A browser builds the accessible tree of a heavy page for a long while after joining the bus.
    const qint64 warmUpMs = (argc > 4 ? QByteArray(argv[4]).toInt() : 90) * 1000LL;

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "discovery-probe: no X display\n");
        return 1;
    }
    makeWindows(connection, extraWindows);

    std::unique_ptr<SourceDiscovery> discovery = createSourceDiscovery();
    // Looks that ran while measured: with the browser's frame known, idle ticks start none.
    int looks = 0;
    QObject::connect(discovery.get(), &SourceDiscovery::lookFinished, &app, [&] { ++looks; });
    QString address;
    int ticks = 0;
    double tickCpu = 0;
    double maxTickCpu = 0;
    bool measuring = false;
    double processStart = 0;
    QElapsedTimer wall;
    QElapsedTimer warmUp;
    warmUp.start();

    QTimer tick;
    tick.setInterval(100);
    QObject::connect(&tick, &QTimer::timeout, &app, [&] {
        const double before = threadCpuSeconds();
        discovery->refresh();
        address = discovery->latestAddress();
        const double spent = threadCpuSeconds() - before;
        if (!measuring) {
            // The measured minute starts once the browser's address has been found.
            if (!address.isEmpty() || warmUp.elapsed() > warmUpMs) {
                measuring = true;
                processStart = processCpuSeconds();
                looks = 0;
                printThreadCpu("start");
                wall.start();
                QFile ready(readyFile);
                if (ready.open(QIODevice::WriteOnly))
                    ready.write(address.toUtf8());
            }
            return;
        }
        ++ticks;
        tickCpu += spent;
        maxTickCpu = std::max(maxTickCpu, spent);
        if (wall.elapsed() >= seconds * 1000LL)
            app.quit();
    });
    tick.start();
    app.exec();

    const double wallSeconds = double(wall.elapsed()) / 1000.0;
    const double processCpu = processCpuSeconds() - processStart;
    std::printf("address %s\n", address.isEmpty() ? "(none)" : qPrintable(address));
    std::printf("looks %d\n", looks);
    std::printf("ticks %d mean_tick_ms %.4f max_tick_ms %.4f tick_share_pct %.4f process_cpu_pct %.4f\n", ticks,
                ticks ? tickCpu / ticks * 1000 : 0.0, maxTickCpu * 1000, ticks ? tickCpu / ticks / 0.1 * 100 : 0.0,
                wallSeconds > 0 ? processCpu / wallSeconds * 100 : 0.0);
    printThreadCpu("end");
    discovery.reset();
    xcb_disconnect(connection);
    return address.isEmpty() ? 1 : 0;
}
