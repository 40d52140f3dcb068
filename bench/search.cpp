// The full-text search benchmark's program.
// Usage: search_bench generate FOLDER DATABASE COUNT   writes COUNT GBK records and their rows
//        search_bench queries                         prints the 20 queries, one a line
//        search_bench index DATABASE                  indexes from nothing, prints seconds
//        search_bench query DATABASE QUERY...         prints each query's seconds and matches
//        search_bench churn DATABASE PERCENT          deletes PERCENT/2 % of the rows and rewrites the
//                                                     files of another PERCENT/2 %, as a user would
//        search_bench textbytes DATABASE              prints the bytes of the rows' files
#include "common/gbkcodec.h"
#include "store/recordstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>
#include <cmath>
#include <random>

namespace {

// A fixed vocabulary of Chinese words (2-4 common characters) and Latin words, drawn with
// a skewed (Zipf-like) frequency as real text is.
struct Vocabulary
{
    QStringList chinese;
    QStringList latin;

    Vocabulary()
    {
        std::mt19937 random(936);
        QList<QChar> characters;
        for (int high = 0xB0; high <= 0xD7; ++high) {
            for (int low = 0xA1; low <= 0xFE; ++low) {
                const char bytes[] = {char(high), char(low)};
                const QString c = Gbk::decode(QByteArray(bytes, 2));
                if (c.size() == 1)
                    characters.append(c.at(0));
            }
        }
        std::uniform_int_distribution<int> pick(0, int(characters.size()) - 1);
        std::uniform_int_distribution<int> length(2, 4);
        for (int i = 0; i < 8000; ++i) {
            QString word;
            for (int n = length(random); n > 0; --n)
                word += characters.at(pick(random));
            chinese.append(word);
        }
        std::uniform_int_distribution<int> letter('a', 'z');
        std::uniform_int_distribution<int> latinLength(3, 9);
        for (int i = 0; i < 2000; ++i) {
            QString word;
            for (int n = latinLength(random); n > 0; --n)
                word += QChar(letter(random));
            latin.append(word);
        }
    }
};

int zipf(std::mt19937 &random, int size)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    return std::min(size - 1, int(std::pow(double(size), u(random))) - 1);
}

QString recordText(std::mt19937 &random, const Vocabulary &words, int bytes)
{
    QString text;
    std::uniform_int_distribution<int> kind(0, 9);
    int size = 0;
    while (size < bytes) {
        const int k = kind(random);
        QString word = k < 7 ? words.chinese.at(zipf(random, int(words.chinese.size())))
                             : words.latin.at(zipf(random, int(words.latin.size()))) + u' ';
        if (k == 0)
            word += QStringLiteral("，");
        else if (k == 1)
            word += QStringLiteral("。\n");
        size += k < 7 ? int(word.size()) * 2 : int(word.size());
        text += word;
    }
    return text;
}

int generate(const QString &folder, const QString &database, int count)
{
    const Vocabulary words;
    std::mt19937 random(20);
    std::uniform_int_distribution<int> bytes(200, 5000);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("generate"));
    db.setDatabaseName(database);
    if (!db.open())
        return 1;
    QSqlQuery query(db);
    query.exec(QStringLiteral("CREATE TABLE filedata (\"文件名\" TEXT, \"大小\" TEXT, \"类别\" TEXT, \"记录时间\" TEXT, "
                              "\"存放地址\" TEXT, \"资料来源\" TEXT)"));
    db.transaction();
    query.prepare(QStringLiteral("INSERT INTO filedata VALUES (?, ?, '默认文本', '2024-01-01', ?, '')"));
    for (int i = 0; i < count; ++i) {
        const QString sub = QStringLiteral("%1/%2/").arg(folder).arg(i / 1000);
        if (i % 1000 == 0)
            QDir().mkpath(sub);
        const QString name = QStringLiteral("记录%1").arg(i);
        const QString text = recordText(random, words, bytes(random));
        QFile file(sub + name + QStringLiteral(".txt"));
        if (!file.open(QIODevice::WriteOnly) || file.write(Gbk::encode(text)) < 0)
            return 1;
        query.addBindValue(name);
        query.addBindValue(QString::number(text.size()));
        query.addBindValue(sub);
        if (!query.exec())
            return 1;
    }
    return db.commit() ? 0 : 1;
}

// Ten two-character and ten four-character queries that occur in the generated text.
QStringList queries()
{
    const Vocabulary words;
    QStringList result;
    for (int rank = 20; result.size() < 10; rank += 37)
        result.append(words.chinese.at(rank).left(2));
    for (int rank = 10; result.size() < 20; rank += 23) {
        if (words.chinese.at(rank).size() == 4)
            result.append(words.chinese.at(rank));
    }
    return result;
}

// Every (100 / percent * 2)-th row is deleted, and the file of the row after it rewritten
// with new text of a similar length.
int churn(RecordStore &store, int percent)
{
    const std::optional<QList<Record>> rows = store.records();
    if (!rows || percent <= 0)
        return 1;
    const Vocabulary words;
    std::mt19937 random(18);
    const int step = 200 / percent;
    for (qsizetype i = 0; i + 1 < rows->size(); i += step) {
        if (!store.removeRecord(rows->at(i).rowId))
            return 1;
        const Record &rewritten = rows->at(i + 1);
        QFile file(recordFilePath(rewritten.folder, rewritten.fileName));
        const qint64 size = QFileInfo(file).size();
        if (!file.open(QIODevice::WriteOnly)
            || file.write(Gbk::encode(recordText(random, words, int(size)))) < 0)
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    const QString mode = args.value(1);
    if (mode == QStringLiteral("generate") && args.size() == 5)
        return generate(args.at(2), args.at(3), args.at(4).toInt());
    if (mode == QStringLiteral("queries")) {
        for (const QString &query : queries())
            out << query << '\n';
        return 0;
    }
    if (args.size() < 3)
        return 2;
    RecordStore store(args.at(2));
    QElapsedTimer timer;
    if (mode == QStringLiteral("index")) {
        int indexed = 0;
        int unreadable = 0;
        timer.start();
        if (!store.indexPendingRecords([] { return true; }, &indexed, &unreadable))
            return 1;
        out << timer.nsecsElapsed() / 1e9 << ' ' << indexed << ' ' << unreadable << '\n';
        return 0;
    }
    if (mode == QStringLiteral("churn") && args.size() == 4)
        return churn(store, args.at(3).toInt());
    if (mode == QStringLiteral("textbytes")) {
        qint64 bytes = 0;
        if (!store.forEachRecord([&bytes](const Record &record) {
                bytes += QFileInfo(recordFilePath(record.folder, record.fileName)).size();
                return true;
            }))
            return 1;
        out << bytes << '\n';
        return 0;
    }
    if (mode == QStringLiteral("query")) {
        for (const QString &query : args.mid(3)) {
            int matches = 0;
            timer.start();
            if (!store.forEachRecordContaining(query, [&matches](const Record &) { return ++matches, true; }))
                return 1;
            out << timer.nsecsElapsed() / 1e9 << ' ' << matches << '\n';
        }
        return 0;
    }
    return 2;
}
