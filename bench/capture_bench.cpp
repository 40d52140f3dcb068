// Storing one capture (title, file, row) with 100,000 rows in the table, against the floor
// of the same file write plus one plain SQLite insert made directly through the C library.
#include "capture/recordwriter.h"
#include "common/gbkcodec.h"
#include "common/gbktextfile.h"
#include "common/programfolder.h"
#include "platform/clock.h"
#include "platform/shellopener.h"
#include "settings/settings.h"
#include "store/recordstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kExistingRows = 100000;
constexpr int kCaptures = 200;

class NoShell final : public ShellOpener
{
public:
    bool open(const QString &) override { return true; }
};

void fillTable(const QString &path)
{
    RecordStore store(path);
    store.records();  // creates the table
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO filedata VALUES (?, '120', '新闻', '2026-01-01', '/x/', 'http://a/')", -1,
                       &insert, nullptr);
    for (int i = 0; i < kExistingRows; ++i) {
        const QByteArray name = "记录" + QByteArray::number(i);
        sqlite3_bind_text(insert, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

QString captureText(int i)
{
    return QStringLiteral("第%1条新闻，今天的天气很好，我们去公园散步。\n").arg(i).repeated(20);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir notavoDir;
    QTemporaryDir floorDir;
    const ProgramFolder folder(notavoDir.path());
    fillTable(folder.filePath(QStringLiteral("filelist.db")));
    fillTable(floorDir.filePath(QStringLiteral("filelist.db")));

    Settings settings{QStringLiteral("myText"), EditorChoice::Editor::BuiltIn, std::nullopt, false};
    RecordStore store(folder.filePath(QStringLiteral("filelist.db")));
    SystemClock clock;
    NoShell shell;
    RecordWriter writer({settings, store, folder, clock, shell});

    sqlite3 *db = nullptr;
    sqlite3_open(floorDir.filePath(QStringLiteral("filelist.db")).toUtf8().constData(), &db);
    QDir(floorDir.path()).mkdir(QStringLiteral("myText"));

    std::vector<double> notavo;
    std::vector<double> floor;
    QElapsedTimer timer;
    for (int i = 0; i < kCaptures; ++i) {
        const QString text = captureText(i);

        timer.start();
        if (writer.save({text, QStringLiteral("http://news.example/"), QStringLiteral("新闻")}).outcome
            != RecordWriter::Outcome::Stored)
            return 1;
        notavo.push_back(timer.nsecsElapsed());

        timer.start();
        QFile file(floorDir.filePath(QStringLiteral("myText/第%1条新闻.txt").arg(i)));
        file.open(QIODevice::WriteOnly);
        file.write(Gbk::encode(GbkTextFile::toCrLf(text)));
        file.close();
        sqlite3_stmt *insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO filedata VALUES (?, '120', '新闻', '2026-12-07', '/x/', 'http://a/')",
                           -1, &insert, nullptr);
        const QByteArray name = "第" + QByteArray::number(i) + "条新闻";
        sqlite3_bind_text(insert, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_finalize(insert);
        floor.push_back(timer.nsecsElapsed());
    }
    sqlite3_close(db);

    const double ratio = median(notavo) / median(floor);
    std::printf("capture: median %.3f ms, floor %.3f ms\n", median(notavo) / 1e6, median(floor) / 1e6);
    std::printf("capture: %.2fx floor (target <= 1.5x)\n", ratio);
    return 0;
}
