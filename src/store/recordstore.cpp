#include "store/recordstore.h"

#include "store/searchindex.h"
#include "platform/filestamp.h"
#include "store/indexfile.h"
#include "store/searchtokens.h"
#include "store/storeschema.h"

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

// A lock held by another program is waited for this long at most: the store runs on the GUI
// thread, and the window must stay responsive. A lock that lasts longer fails the operation.
// Notavo's own background transactions last a tenth of this at most, so they never fail one.
constexpr int kBusyTimeoutMs = 1000;

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

QString damagedIndexNotice(const QString &indexPath)
{
    return QStringLiteral("搜索索引文件“%1”已损坏，已改名为“%2”放在一旁。Notavo 正在后台重建索引，"
                          "完成之前搜索结果可能不全。")
        .arg(QDir::toNativeSeparators(indexPath), QDir::toNativeSeparators(IndexFile::asideName(indexPath)));
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
                      .arg(QDir::toNativeSeparators(m_path), StoreSchema::recordColumns().join(QStringLiteral("、")));
    return false;
}

bool RecordStore::openConnection(bool readOnly)
{
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
        ? QSqlDatabase::database(m_connection, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (!db.isValid())
        return fail(QStringLiteral("无法使用记录数据库"), QStringLiteral("缺少 SQLite 驱动"));
    db.close();
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
                             .arg(kBusyTimeoutMs)
                             .arg(readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    if (!db.open())
        return fail(QStringLiteral("无法打开记录数据库"), db.lastError());
    return true;
}

bool RecordStore::ensureOpen()
{
    if (m_open)
        return true;
    if (!openConnection(false))
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    StoreSchema::Check check = StoreSchema::prepareRecords(db, false);
    if (check.status == StoreSchema::Status::Newer) {
        // Never changed: listed and searched as it is, nothing written.
        m_readOnlyReason = QStringLiteral("记录数据库“%1”由较新版本的 Notavo 建立（格式版本 %2），"
                                          "本程序只能读取，不会更改它。请使用较新版本的 Notavo。")
                               .arg(QDir::toNativeSeparators(m_path))
                               .arg(check.version);
        if (!openConnection(true))
            return false;
        db = QSqlDatabase::database(m_connection, false);
        check = StoreSchema::prepareRecords(db, true);
    }
    if (check.status == StoreSchema::Status::BadForm) {
        db.close();
        return failForm();
    }
    if (check.status != StoreSchema::Status::Ready) {
        db.close();
        QSqlError error(check.error, check.error, QSqlError::StatementError, QString::number(check.errorCode));
        return fail(QStringLiteral("无法打开记录数据库"), error);
    }
    // The rollback journal stays after each commit, its header zeroed, instead of being created
    // and removed per capture (1.23 against 1.4 times the plain insert with TRUNCATE). The mode
    // lives in this connection only: older copies and the sqlite3 shell take a zeroed journal for
    // none and use the file as before. A journal grown by a large transaction is cut back.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA main.journal_mode = PERSIST"));
    QSqlQuery(db).exec(QStringLiteral("PRAGMA main.journal_size_limit = 1048576"));
    m_open = true;
    m_lastError.clear();
    if (isReadOnly()) {
        m_searchError = m_readOnlyReason;
        return true;
    }
    attachSearch();
    return true;
}

bool RecordStore::ensureWritable()
{
    if (!ensureOpen())
        return false;
    if (isReadOnly()) {
        m_lastError = m_readOnlyReason;
        return false;
    }
    return true;
}

void RecordStore::attachSearch()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const QString indexPath = SearchIndex::pathFor(m_path);
    const QString shownPath = QDir::toNativeSeparators(indexPath);
    m_searchReady = false;
    StoreSchema::Check check;
    const bool damaged = IndexFile::looksDamaged(indexPath);
    if (!damaged)
        check = StoreSchema::attachIndex(db, indexPath);
    if (damaged || (check.status == StoreSchema::Status::Failed && StoreSchema::meansDamage(check.errorCode))) {
        IndexFile::setAside(indexPath);
        check = StoreSchema::attachIndex(db, indexPath);
        m_searchNotice = damagedIndexNotice(indexPath);
        noteIndexBehind();
    }
    switch (check.status) {
    case StoreSchema::Status::Ready:
        m_searchReady = true;
        return;
    case StoreSchema::Status::Newer:
        m_searchError = QStringLiteral("搜索索引文件“%1”由较新版本的 Notavo 建立，本程序无法使用，也不会更改它。")
                            .arg(shownPath);
        return;
    default: {
        QSqlError error(check.error, check.error, QSqlError::StatementError, QString::number(check.errorCode));
        m_searchError = QStringLiteral("无法使用搜索索引文件“%1”：%2").arg(shownPath, causeOf(error));
        return;
    }
    }
}

void RecordStore::replaceDamagedIndex()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    StoreSchema::detachIndex(db);
    const QString indexPath = SearchIndex::pathFor(m_path);
    // Another connection may have replaced it already, and a busy index is no damaged one:
    // only a file that still reads as damaged goes.
    if (!IndexFile::looksDamaged(indexPath)) {
        const StoreSchema::Check check = StoreSchema::attachIndex(db, indexPath);
        int code = check.errorCode;
        if (check.status == StoreSchema::Status::Ready) {
            QSqlQuery probe(db);
            if (probe.exec(QStringLiteral("SELECT count(*) FROM search.texts WHERE texts MATCH 'notavo'"))) {
                m_searchReady = true;
                return;
            }
            code = StoreSchema::resultCode(probe.lastError());
            probe.finish();
            StoreSchema::detachIndex(db);
        }
        if (!StoreSchema::meansDamage(code)) {
            attachSearch();
            return;
        }
    }
    IndexFile::setAside(indexPath);
    attachSearch();
    m_searchNotice = damagedIndexNotice(indexPath);
    noteIndexBehind();
}

void RecordStore::noteIndexBehind(const QString &notice)
{
    if (!notice.isEmpty())
        m_searchNotice = notice;
    if (m_indexBehind)
        m_indexBehind();
}

bool RecordStore::insertRow(const CurrentRecord &record, const QDate &today, qint64 *rowId)
{
    if (!ensureWritable())
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral(
            "INSERT INTO filedata (\"文件名\", \"大小\", \"类别\", \"记录时间\", \"存放地址\", \"资料来源\") "
            "VALUES (?, ?, ?, ?, ?, ?)"))) {
        // Another program changed the table since it was checked.
        if (!StoreSchema::hasRecordColumns(db))
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
    *rowId = query.lastInsertId().toLongLong();
    return true;
}

bool RecordStore::addFileData(const CurrentRecord &record, const QDate &today)
{
    return addRecord(record, today, nullptr, nullptr);
}

bool RecordStore::addFileData(const CurrentRecord &record, const QDate &today, const QString &text, qint64 *rowId)
{
    return addRecord(record, today, &text, rowId);
}

bool RecordStore::addRecord(const CurrentRecord &record, const QDate &today, const QString *text, qint64 *addedRowId)
{
    qint64 rowId = 0;
    if (!insertRow(record, today, &rowId))
        return false;
    if (addedRowId)
        *addedRowId = rowId;
    // The rebuild leaves a file too large to read whole to the next background pass.
    if (!m_searchReady || !m_indexesOnAdd)
        return true;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const QString path = recordFilePath(record.recFolder, record.recFileName);
    if (text ? !SearchIndex::indexText(db, rowId, path, *text) : !SearchIndex::indexRecord(db, rowId, path)) {
        // A file SQLite opened read-only stays so on this connection: the next capture opens it anew.
        StoreSchema::detachIndex(db);
        attachSearch();
        noteIndexBehind(QStringLiteral("搜索索引文件“%1”暂时无法写入，新记录暂时搜不到；Notavo 会在后台重试。")
                            .arg(QDir::toNativeSeparators(SearchIndex::pathFor(m_path))));
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

bool RecordStore::setSource(qint64 rowId, const QString &source)
{
    if (!ensureWritable())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("UPDATE filedata SET \"资料来源\" = ? WHERE rowid = ?"));
    query.addBindValue(source.isNull() ? QStringLiteral("") : source);
    query.addBindValue(rowId);
    if (!query.exec())
        return fail(QStringLiteral("无法写入记录"), query.lastError());
    return true;
}

bool RecordStore::removeRecord(qint64 rowId)
{
    if (!ensureWritable())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("DELETE FROM filedata WHERE rowid = ?"));
    query.addBindValue(rowId);
    if (!query.exec())
        return fail(QStringLiteral("无法删除记录"), query.lastError());
    // An entry left behind finds nothing: its row is gone, and a row that takes its number names
    // another file or a changed one. The next pass removes it.
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (m_searchReady && !SearchIndex::forgetRecord(db, rowId))
        noteIndexBehind();
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
        "SELECT f.rowid, f.*, e.path, e.size, e.modified FROM search.texts AS w "
        "JOIN search.entries AS e ON e.id = w.rowid JOIN filedata AS f ON f.rowid = e.recordId "
        "WHERE w.tokens MATCH ? ORDER BY f.rowid"));
    query.addBindValue(expression);
    bool outOfDate = false;
    FileStampReader files;
    if (query.exec()) {
        while (query.next()) {
            const Record record = recordFrom(query);
            // Only an entry of this very file, as it is now, speaks for the record: a row that
            // took a deleted row's number names another file, and a changed file other words.
            const QString path = query.value(7).toString();
            if (recordFilePath(record.folder, record.fileName) != path
                || !SearchIndex::isUnchanged(files, path, query.value(8).toLongLong(), query.value(9).toLongLong())) {
                outOfDate = true;
                continue;
            }
            if (!visit(record))
                break;
        }
    }
    if (query.lastError().isValid()) {
        const QSqlError error = query.lastError();
        if (!StoreSchema::meansDamage(StoreSchema::resultCode(error)))
            return fail(QStringLiteral("无法搜索记录"), error);
        replaceDamagedIndex();
        m_lastError = takeSearchNotice();
        return false;
    }
    if (outOfDate)
        noteIndexBehind();
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
    if (!ok)
        replaceDamagedIndex();
    return ok || fail(QStringLiteral("无法更新搜索索引"), error);
}
