// 重建记录 over a save folder with one large file.
// Usage: rebuild_bench memory FOLDER DATABASE  -> prints the peak resident memory in MB
//        rebuild_bench stop FOLDER DATABASE MS -> stops the rebuild after MS milliseconds and
//                                                 prints how long it took to stop, in ms
#include "store/recordrebuilder.h"
#include "store/recordstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <atomic>
#include <thread>

namespace {

// The process's peak resident memory, in MB (Linux: VmHWM).
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    QTextStream out(stdout);
    RecordStore store(args.at(3));
    if (args.at(1) == QStringLiteral("memory")) {
        const RecordRebuilder::Result result = RecordRebuilder::rebuild(store, args.at(2));
        QTextStream(stderr) << RecordRebuilder::report(result) << '\n';
        out << peakMegabytes() << '\n';
        return result.ok ? 0 : 1;
    }
    if (args.at(1) == QStringLiteral("stop") && args.size() == 5) {
        std::atomic_bool stop = false;
        QElapsedTimer sinceStop;
        RecordRebuilder::Result result;
        std::thread worker([&] {
            RecordStore own(args.at(3));
            result = RecordRebuilder::rebuild(own, args.at(2), [&stop] { return !stop; });
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(args.at(4).toInt()));
        sinceStop.start();
        stop = true;
        worker.join();
        const qint64 latency = sinceStop.nsecsElapsed();
        QTextStream(stderr) << RecordRebuilder::report(result) << '\n';
        out << double(latency) / 1e6 << '\n';
        return result.stopped ? 0 : 1;
    }
    return 2;
}
