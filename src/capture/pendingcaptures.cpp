#include "capture/pendingcaptures.h"

#include "common/gbkcodec.h"
#include "common/gbktextfile.h"
#include "store/record.h"
#include "store/recordstore.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

const QByteArray kFirstLine = QByteArrayLiteral("Notavo pending capture 1");
const QString kNoteSuffix = QStringLiteral(".note");
const QString kPartSuffix = QStringLiteral(".part");
const char *const kKeys[] = {"name", "size", "category", "folder", "source", "date"};

// One value per line: backslashes and line breaks are escaped.
QByteArray escaped(const QString &value)
{
    QString text = value;
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'\n', QStringLiteral("\\n")).replace(u'\r', QStringLiteral("\\r"));
    return Gbk::encode(text);
}

QString unescaped(QByteArrayView bytes)
{
    const QString text = Gbk::decode(bytes);
    QString value;
    value.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != u'\\' || i + 1 == text.size()) {
            value += text.at(i);
            continue;
        }
        const QChar next = text.at(++i);
        value += next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next;
    }
    return value;
}

QString noteName()
{
    // Names sort in the order the captures were made.
    static QAtomicInt counter;
    return QStringLiteral("%1-%2").arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")))
        .arg(counter.fetchAndAddRelaxed(1), 4, 10, QLatin1Char('0'));
}

} // namespace

PendingCaptures::PendingCaptures(QString folder)
    : m_folder(std::move(folder))
{
}

QString PendingCaptures::add(const Capture &capture) const
{
    if (!QDir().mkpath(m_folder))
        return {};
    const CurrentRecord &record = capture.record;
    const QString values[] = {record.recFileName, record.recSize, record.recCategory,
                              record.recFolder,   record.recSource, capture.date.toString(Qt::ISODate)};
    QByteArray bytes = kFirstLine + "\r\n";
    for (size_t i = 0; i < std::size(kKeys); ++i)
        bytes += QByteArray(kKeys[i]) + '=' + escaped(values[i]) + "\r\n";
    bytes += "\r\n";
    bytes += capture.fileBytes;

    const QString base = QDir(m_folder).filePath(noteName());
    QFile part(base + kPartSuffix);
    if (!part.open(QIODevice::WriteOnly | QIODevice::NewOnly) || part.write(bytes) != bytes.size() || !part.flush()) {
        part.remove();
        return {};
    }
    part.close();
    // A kill while the note is written leaves only a ".part", which is no note.
    if (part.error() != QFileDevice::NoError || !part.rename(base + kNoteSuffix)) {
        part.remove();
        return {};
    }
    return base + kNoteSuffix;
}

void PendingCaptures::remove(const QString &notePath)
{
    if (!notePath.isEmpty())
        QFile::remove(notePath);
}

std::optional<PendingCaptures::Capture> PendingCaptures::read(const QString &notePath)
{
    QFile file(notePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const qsizetype headerEnd = bytes.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = bytes.first(headerEnd).split('\n');
    if (lines.size() != qsizetype(std::size(kKeys)) + 1 || lines.first().trimmed() != kFirstLine)
        return std::nullopt;
    QString values[std::size(kKeys)];
    for (size_t i = 0; i < std::size(kKeys); ++i) {
        QByteArray line = lines.at(qsizetype(i) + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        const QByteArray prefix = QByteArray(kKeys[i]) + '=';
        if (!line.startsWith(prefix))
            return std::nullopt;
        values[i] = unescaped(QByteArrayView(line).sliced(prefix.size()));
    }
    Capture capture{{values[0], values[1], values[2], values[3], values[4]},
                    QDate::fromString(values[5], Qt::ISODate),
                    bytes.sliced(headerEnd + 4)};
    if (capture.record.recFileName.isEmpty() || capture.record.recFolder.isEmpty() || !capture.date.isValid())
        return std::nullopt;
    return capture;
}

PendingCaptures::Completion PendingCaptures::completeAll(RecordStore &store) const
{
    Completion completion;
    const QDir folder(m_folder);
    // A ".part" is a note cut off while it was written: its capture had not begun.
    for (const QString &part : folder.entryList({QLatin1Char('*') + kPartSuffix}, QDir::Files))
        QFile::remove(folder.filePath(part));
    const QStringList notes = folder.entryList({QLatin1Char('*') + kNoteSuffix}, QDir::Files, QDir::Name);
    if (notes.isEmpty())
        return completion;

    QSet<QString> recorded;
    if (!store.forEachRecord([&recorded](const Record &record) {
            recorded.insert(QDir::cleanPath(recordFilePath(record.folder, record.fileName)));
            return true;
        })) {
        completion.problems.append(QStringLiteral("上次未完成的记录无法补存：%1").arg(store.lastError()));
        return completion;
    }
    for (const QString &name : notes) {
        const QString notePath = folder.filePath(name);
        const std::optional<Capture> capture = read(notePath);
        if (!capture) {
            completion.problems.append(QStringLiteral("上次未完成的记录无法补存：记录说明“%1”已损坏。")
                                           .arg(QDir::toNativeSeparators(notePath)));
            continue;
        }
        const CurrentRecord &record = capture->record;
        const QString filePath = recordFilePath(record.recFolder, record.recFileName);
        if (recorded.contains(QDir::cleanPath(filePath))) {
            remove(notePath);
            continue;
        }
        QString error;
        if (!QFileInfo::exists(filePath)
            && (!QDir().mkpath(QFileInfo(filePath).absolutePath())
                || !GbkTextFile::writeBytes(filePath, capture->fileBytes, &error))) {
            completion.problems.append(QStringLiteral("上次未完成的记录“%1”无法补存：写入文件“%2”失败（%3）。")
                                           .arg(record.recFileName, QDir::toNativeSeparators(filePath), error));
            continue;
        }
        if (!store.addFileData(record, capture->date)) {
            completion.problems.append(
                QStringLiteral("上次未完成的记录“%1”无法补存：%2").arg(record.recFileName, store.lastError()));
            continue;
        }
        recorded.insert(QDir::cleanPath(filePath));
        remove(notePath);
        completion.completed.append(record.recFileName);
    }
    return completion;
}
