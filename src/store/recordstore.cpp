#include "store/recordstore.h"

#include "store/searchindex.h"
#include "store/searchtokens.h"

#include <QAtomicInt>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("notavo-records-%1").arg(counter.fetchAndAddRelaxed(1));
}

constexpr auto kCreateTable =
    "CREATE TABLE IF NOT EXISTS filedata ("
    "\"文件名\" TEXT, \"大小\" TEXT, \"类别\" TEXT, \"记录时间\" TEXT, \"存放地址\" TEXT, \"资料来源\" TEXT)";

const QStringList kColumns{QStringLiteral("文件名"), QStringLiteral("大小"), QStringLiteral("类别"),
                           QStringLiteral("记录时间"), QStringLiteral("存放地址"), QStringLiteral("资料来源")};

// A lock held by another program is waited for this long at most: the store runs on the GUI
// thread, and the window must stay responsive. A lock that lasts longer fails the operation.
constexpr int kBusyTimeoutMs = 250;

// The cause of a database failure in the user's words, from SQLite's result code; SQLite's
// own text follows in brackets.
QString causeOf(const QSqlError &error)
{
    const QString native = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    QString cause;
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        cause = QStringLiteral("数据库正被其他程序使用（已锁定）");
        break;
    case 8: // SQLITE_READONLY
        cause = QStringLiteral("数据库文件是只读的");
        break;
    case 10: // SQLITE_IOERR
        cause = QStringLiteral("读写数据库文件时出错");
        break;
    case 11: // SQLITE_CORRUPT
        cause = QStringLiteral("数据库文件已损坏");
        break;
    case 13: // SQLITE_FULL
        cause = QStringLiteral("磁盘已满");
        break;
    case 14: // SQLITE_CANTOPEN
        cause = QStringLiteral("无法打开数据库文件或在其文件夹中建立临时文件");
        break;
    case 23: // SQLITE_AUTH
        cause = QStringLiteral("没有访问数据库的权限");
        break;
    case 26: // SQLITE_NOTADB
        cause = QStringLiteral("该文件不是数据库");
        break;
    default:
        return native;
    }
    return native.isEmpty() ? cause : QStringLiteral("%1（%2）").arg(cause, native);
}

QString textOf(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

Record recordFrom(const QSqlQuery &query)
{
    Record record;
    record.rowId = query.value(0).toLongLong();
    record.fileName = textOf(query.value(1));
    record.size = textOf(query.value(2));
    record.category = textOf(query.value(3));
    record.date = QDate::fromString(textOf(query.value(4)), Qt::ISODate);
    record.folder = textOf(query.value(5));
    record.source = textOf(query.value(6));
    return record;
}

} // namespace

RecordStore::RecordStore(QString databasePath)
    : m_path(std::move(databasePath))
    , m_connection(nextConnectionName())
{
}

RecordStore::~RecordStore()
{
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool RecordStore::fail(const QString &what, const QString &detail)
{
    m_lastError = QStringLiteral("%1（%2）：%3").arg(what, QDir::toNativeSeparators(m_path), detail);
    return false;
}

bool RecordStore::fail(const QString &what, const QSqlError &error)
{
    return fail(what, causeOf(error));
}

bool RecordStore::failForm()
{
    // Readers take the columns by position and the writer by name: either would go wrong.
    m_open = false;
    m_lastError = QStringLiteral("记录数据库“%1”中的表 filedata 不是预期的格式（应依次有列 %2）,无法使用。")
                      .arg(QDir::toNativeSeparators(m_path), kColumns.join(QStringLiteral("、")));
    return false;
}

bool RecordStore::hasExpectedColumns(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA table_info(filedata)")))
        return false;
    QStringList names;
    while (query.next())
        names.append(query.value(1).toString());
    // Columns after the six are left alone; the six must stand first and in their order.
    return names.mid(0, kColumns.size()) == kColumns;
}

bool RecordStore::ensureOpen()
{
    if (m_open)
        return true;
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
        ? QSqlDatabase::database(m_connection, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (!db.isValid())
        return fail(QStringLiteral("无法使用记录数据库"), QStringLiteral("缺少 SQLite 驱动"));
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open())
        return fail(QStringLiteral("无法打开记录数据库"), db.lastError());

    // The schema check is the first read: a file that is not a database fails here.
    QSqlQuery query(db);
    if (!db.transaction() || !query.exec(QString::fromUtf8(kCreateTable)) || !db.commit()) {
        const QSqlError error = query.lastError().isValid() ? query.lastError() : db.lastError();
        db.rollback();
        db.close();
        return fail(QStringLiteral("无法打开记录数据库"), error);
    }
    if (!hasExpectedColumns(db)) {
        db.close();
        return failForm();
    }
    m_open = true;
    m_lastError.clear();
    m_searchReady = SearchIndex::attach(db, m_path, &m_searchError);
    return true;
}

bool RecordStore::addFileData(const CurrentRecord &record, const QDate &today)
{
    if (!ensureOpen())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.prepare(QStringLiteral(
            "INSERT INTO filedata (\"文件名\", \"大小\", \"类别\", \"记录时间\", \"存放地址\", \"资料来源\") "
            "VALUES (?, ?, ?, ?, ?, ?)"))) {
        // Another program changed the table since it was checked.
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (!hasExpectedColumns(db))
            return failForm();
        return fail(QStringLiteral("无法写入记录"), query.lastError());
    }
    // Empty texts are stored as texts, never as NULL.
    const auto text = [](const QString &value) { return value.isNull() ? QStringLiteral("") : value; };
    query.addBindValue(text(record.recFileName));
    query.addBindValue(text(record.recSize));
    query.addBindValue(text(record.recCategory));
    query.addBindValue(today.toString(Qt::ISODate));
    query.addBindValue(text(record.recFolder));
    query.addBindValue(text(record.recSource));
    if (!query.exec())
        return fail(QStringLiteral("无法写入记录"), query.lastError());
    if (m_searchReady && m_indexesOnAdd) {
        // A file the index misses now is indexed by the next background pass.
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        SearchIndex::indexRecord(db, query.lastInsertId().toLongLong(),
                                 recordFilePath(record.recFolder, record.recFileName));
    }
    return true;
}

bool RecordStore::forEachRecord(const std::function<bool(const Record &)> &visit)
{
    if (!ensureOpen())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT rowid, * FROM filedata ORDER BY rowid")))
        return fail(QStringLiteral("无法读取记录"), query.lastError());
    return visitRows(query, visit);
}

bool RecordStore::forEachRecordInCategory(const QString &category,
                                          const std::function<bool(const Record &)> &visit)
{
    if (!ensureOpen())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT rowid, * FROM filedata WHERE \"类别\" = ? ORDER BY rowid"));
    query.addBindValue(category);
    if (!query.exec())
        return fail(QStringLiteral("无法读取记录"), query.lastError());
    return visitRows(query, visit);
}

namespace {

// A date condition on 记录时间 (ISO text, so text order is date order) that every row of the
// period satisfies; the exact rule is applied to each row afterwards.
struct PeriodFilter
{
    QString condition;
    QStringList values;
};

QString isoDate(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

PeriodFilter periodFilter(Period period, const QDate &today)
{
    const QString column = QStringLiteral("\"记录时间\"");
    const QDate yearStart(today.year(), 1, 1);
    switch (period) {
    case Period::BeforeLastYear:
        return {column + QStringLiteral(" < ?"), {isoDate(yearStart.addYears(-1))}};
    case Period::LastYear:
        return {column + QStringLiteral(" >= ? AND ") + column + QStringLiteral(" < ?"),
                {isoDate(yearStart.addYears(-1)), isoDate(yearStart)}};
    case Period::ThisYear:
        return {column + QStringLiteral(" >= ? AND ") + column + QStringLiteral(" < ?"),
                {isoDate(yearStart), isoDate(yearStart.addYears(1))}};
    case Period::ThisMonth:
        return {QStringLiteral("substr(") + column + QStringLiteral(", 6, 2) = ?"),
                {QStringLiteral("%1").arg(today.month(), 2, 10, QLatin1Char('0'))}};
    case Period::ThisWeek:
        // Sunday-based weekday days back, and every later date.
        return {column + QStringLiteral(" >= ?"), {isoDate(today.addDays(-(today.dayOfWeek() % 7 + 1)))}};
    case Period::Yesterday:
        return {column + QStringLiteral(" = ?"), {isoDate(today.addDays(-1))}};
    case Period::Today:
        return {column + QStringLiteral(" = ?"), {isoDate(today)}};
    }
    return {QStringLiteral("1"), {}};
}

} // namespace

bool RecordStore::forEachRecordInPeriod(Period period, const QDate &today,
                                        const std::function<bool(const Record &)> &visit)
{
    if (!ensureOpen())
        return false;
    const PeriodFilter filter = periodFilter(period, today);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT rowid, * FROM filedata WHERE ") + filter.condition
                  + QStringLiteral(" ORDER BY rowid"));
    for (const QString &value : filter.values)
        query.addBindValue(value);
    if (!query.exec())
        return fail(QStringLiteral("无法读取记录"), query.lastError());
    return visitRows(query, [&](const Record &record) {
        return !DatePeriods::contains(period, record.date, today) || visit(record);
    });
}

bool RecordStore::visitRows(QSqlQuery &query, const std::function<bool(const Record &)> &visit)
{
    while (query.next()) {
        if (!visit(recordFrom(query)))
            break;
    }
    if (query.lastError().isValid())
        return fail(QStringLiteral("无法读取记录"), query.lastError());
    return true;
}

std::optional<QList<Record>> RecordStore::records()
{
    QList<Record> rows;
    if (!forEachRecord([&rows](const Record &record) {
            rows.append(record);
            return true;
        }))
        return std::nullopt;
    return rows;
}

bool RecordStore::firstRecordNamed(const QString &name, std::optional<Record> *found)
{
    if (!ensureOpen())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT rowid, * FROM filedata WHERE \"文件名\" = ? ORDER BY rowid LIMIT 1"));
    query.addBindValue(name);
    if (!query.exec())
        return fail(QStringLiteral("无法读取记录"), query.lastError());
    *found = query.next() ? std::optional(recordFrom(query)) : std::nullopt;
    return true;
}

bool RecordStore::removeRecord(qint64 rowId)
{
    if (!ensureOpen())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("DELETE FROM filedata WHERE rowid = ?"));
    query.addBindValue(rowId);
    if (!query.exec())
        return fail(QStringLiteral("无法删除记录"), query.lastError());
    if (m_searchReady) {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        SearchIndex::forgetRecord(db, rowId);
    }
    return true;
}

bool RecordStore::forEachRecordContaining(const QString &text, const std::function<bool(const Record &)> &visit)
{
    if (!ensureOpen())
        return false;
    if (!m_searchReady)
        return fail(QStringLiteral("无法使用搜索索引"), m_searchError);
    const QString expression = SearchTokens::matchExpression(text);
    if (expression.isEmpty())
        return true;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT f.rowid, f.*, i.path FROM search.words AS w JOIN search.indexed AS i ON i.id = w.rowid "
        "JOIN filedata AS f ON f.rowid = i.recordId WHERE w.tokens MATCH ? ORDER BY f.rowid"));
    query.addBindValue(expression);
    if (!query.exec())
        return fail(QStringLiteral("无法搜索记录"), query.lastError());
    while (query.next()) {
        const Record record = recordFrom(query);
        // An entry left from a replaced database may name another row's file.
        if (recordFilePath(record.folder, record.fileName) == query.value(7).toString() && !visit(record))
            break;
    }
    if (query.lastError().isValid())
        return fail(QStringLiteral("无法搜索记录"), query.lastError());
    return true;
}

bool RecordStore::indexPendingRecords(const std::function<bool()> &keepGoing, int *indexed, int *unreadable)
{
    if (!ensureOpen())
        return false;
    if (!m_searchReady)
        return fail(QStringLiteral("无法使用搜索索引"), m_searchError);
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    SearchIndex::PassResult result;
    QString error;
    const bool ok = SearchIndex::indexPending(db, keepGoing, &result, &error);
    *indexed = result.indexed;
    *unreadable = result.unreadable;
    return ok || fail(QStringLiteral("无法更新搜索索引"), error);
}
