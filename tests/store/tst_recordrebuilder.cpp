#include "common/gbkcodec.h"
#include "common/gbkfilereader.h"
#include "common/gbktextfile.h"
#include "store/recordrebuilder.h"
#include "store/recordstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestRecordRebuilder : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RecordStore> m_store;

    QString folder() const { return m_dir->filePath(QStringLiteral("myText")) + u'/'; }

    QList<Record> rows() { return m_store->records().value_or(QList<Record>()); }

    const Record *rowNamed(const QList<Record> &all, const QString &name)
    {
        const auto found = std::find_if(all.cbegin(), all.cend(), [&](const Record &r) { return r.fileName == name; });
        return found == all.cend() ? nullptr : &*found;
    }

    // A GBK file of at least `bytes` bytes, whose lines and characters cross many pieces.
    QString writeLargeFile(const QString &name, qint64 bytes, qint64 *length)
    {
        const QByteArray unit = Gbk::encode(QStringLiteral("大文件的一行，含 ASCII 与汉字。\r\n"));
        QFile file(folder() + name);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        qint64 written = 0;
        QByteArray block;
        while (block.size() < (1 << 16))
            block += unit;
        while (written < bytes)
            written += file.write(block);
        *length = written / unit.size() * Gbk::decode(unit).size();
        return file.fileName();
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(folder()));
        m_store = std::make_unique<RecordStore>(m_dir->filePath(QStringLiteral("filelist.db")));
    }

    void cleanup()
    {
        m_store.reset();
        m_dir.reset();
    }

    // Nothing it cannot or should not read is opened or recorded, and each is counted by reason.
    void skippedFilesAreCountedByReason()
    {
        QVERIFY(GbkTextFile::write(folder() + QStringLiteral("好.txt"), QStringLiteral("好")));
        QVERIFY(GbkTextFile::write(folder() + QStringLiteral("大写.TXT"), QStringLiteral("大写\n扩展名")));
        QVERIFY(GbkTextFile::write(folder() + QStringLiteral("两次.txt.txt"), QStringLiteral("两次")));
        QVERIFY(GbkTextFile::write(folder() + QStringLiteral("混合.Txt"), QStringLiteral("x")));
        QVERIFY(GbkTextFile::write(folder() + QStringLiteral("副本.wps"), QStringLiteral("x")));
        // A pipe would block whoever opens it: it must never be opened.
        QCOMPARE(mkfifo(QFile::encodeName(folder() + QStringLiteral("管道.txt")).constData(), 0600), 0);
        QVERIFY(QFile::link(folder() + QStringLiteral("不在"), folder() + QStringLiteral("断开.txt")));
        // A name that is not valid UTF-8 cannot be named again through the decoded text.
        const QByteArray badName = QFile::encodeName(folder()) + "bad\xff\xfe\xb0name.txt";
        const int fd = ::open(badName.constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "abc", 3), ssize_t(3));
        ::close(fd);
        QFile unreadable(folder() + QStringLiteral("无权.txt"));
        QVERIFY(unreadable.open(QIODevice::WriteOnly));
        unreadable.close();
        const bool canDenyReading = ::geteuid() != 0;
        if (canDenyReading)
            QVERIFY(unreadable.setPermissions(QFileDevice::WriteOwner));

        const RecordRebuilder::Result result = RecordRebuilder::rebuild(*m_store, folder());
        QVERIFY(result.ok);
        QVERIFY(!result.stopped);
        QCOMPARE(result.unreadableName, 1);
        QCOMPARE(result.notRegularFile, 2);
        QCOMPARE(result.notText, 2);
        QCOMPARE(result.unreadable, canDenyReading ? 1 : 0);
        QCOMPARE(result.added, canDenyReading ? 3 : 4);

        const QList<Record> all = rows();
        QVERIFY(rowNamed(all, QStringLiteral("好")));
        // The upper-case extension stays in the name, so the row still names its file.
        const Record *upper = rowNamed(all, QStringLiteral("大写.TXT"));
        QVERIFY(upper);
        QCOMPARE(recordFilePath(upper->folder, upper->fileName), folder() + QStringLiteral("大写.TXT"));
        QCOMPARE(upper->size, QStringLiteral("7"));
        QVERIFY(rowNamed(all, QStringLiteral("两次.txt.txt")));

        const QString report = RecordRebuilder::report(result);
        QVERIFY2(report.startsWith(QStringLiteral("重建记录完成：新增 %1 条记录。").arg(result.added)), qPrintable(report));
        QVERIFY(report.contains(QStringLiteral("不是 .txt 文件 2 个")));
        QVERIFY(report.contains(QStringLiteral("文件名无法识别 1 个")));
        QVERIFY(report.contains(QStringLiteral("不是普通文件 2 个")));

        // Again: everything it took is recorded now, and the same files are skipped.
        const RecordRebuilder::Result again = RecordRebuilder::rebuild(*m_store, folder());
        QCOMPARE(again.added, 0);
        QCOMPARE(again.alreadyRecorded, result.added);
        QCOMPARE(again.notRegularFile, 2);
    }

    // A file many pieces long is counted as the record writer counts a text, without being held whole.
    void largeFileIsCountedPieceByPiece()
    {
        qint64 length = 0;
        const QString path = writeLargeFile(QStringLiteral("大.txt"), 5 * GbkFileReader::kPieceBytes + 17, &length);
        QVERIFY(!path.isEmpty());
        const RecordRebuilder::Result result = RecordRebuilder::rebuild(*m_store, folder());
        QCOMPARE(result.added, 1);
        QCOMPARE(rows().first().size, QString::number(length));
        QCOMPARE(rows().first().size, QString::number(GbkTextFile::toCrLf(GbkTextFile::read(path).value()).size()));
    }

    // Stopped in the middle of a large file: that file gets no row, the report says what was left,
    // and the next rebuild takes up what is left.
    void stopsInsideALargeFileAndReportsWhatIsLeft()
    {
        qint64 length = 0;
        QVERIFY(!writeLargeFile(QStringLiteral("大.txt"), 8 * GbkFileReader::kPieceBytes, &length).isEmpty());
        QVERIFY(GbkTextFile::write(folder() + QStringLiteral("小.txt"), QStringLiteral("小")));

        // Asked once after the rows, once per listed file, then once per piece and between files:
        // the 8th question falls inside the large file's eight pieces whichever file comes first.
        int asked = 0;
        const RecordRebuilder::Result stopped
            = RecordRebuilder::rebuild(*m_store, folder(), [&asked] { return ++asked < 8; });
        QVERIFY(stopped.ok);
        QVERIFY(stopped.stopped);
        QVERIFY(stopped.folderListed);
        QCOMPARE(stopped.added + stopped.left, 2);
        QCOMPARE(rows().size(), stopped.added);
        QVERIFY(!rowNamed(rows(), QStringLiteral("大")));
        const QString report = RecordRebuilder::report(stopped);
        QVERIFY2(report.startsWith(QStringLiteral("重建记录已停止")), qPrintable(report));
        QVERIFY(report.contains(QStringLiteral("尚有 %1 个文件未处理").arg(stopped.left)));

        const RecordRebuilder::Result rest = RecordRebuilder::rebuild(*m_store, folder());
        QCOMPARE(rest.added, stopped.left);
        QCOMPARE(rows().size(), 2);
    }

    // A file written while the rebuild runs is a capture's, which adds its own row: the rebuild
    // leaves it, and a file dated ahead of the clock is still taken.
    void fileWrittenDuringTheRebuildIsLeftToItsCapture()
    {
        QVERIFY(GbkTextFile::write(folder() + QStringLiteral("早.txt"), QStringLiteral("早")));
        QVERIFY(GbkTextFile::write(folder() + QStringLiteral("未来.txt"), QStringLiteral("未来")));
        {
            QFile future(folder() + QStringLiteral("未来.txt"));
            QVERIFY(future.open(QIODevice::ReadWrite));
            QVERIFY(future.setFileTime(QDateTime::currentDateTime().addDays(2), QFileDevice::FileModificationTime));
        }
        bool written = false;
        const RecordRebuilder::Result result = RecordRebuilder::rebuild(*m_store, folder(), [&] {
            if (!written) {
                QTest::qWait(20);
                written = GbkTextFile::write(folder() + QStringLiteral("捕获中.txt"), QStringLiteral("新"));
            }
            return true;
        });
        QCOMPARE(result.newerThanRebuild, 1);
        QCOMPARE(result.added, 2);
        QVERIFY(!rowNamed(rows(), QStringLiteral("捕获中")));
        QVERIFY(RecordRebuilder::report(result).contains(QStringLiteral("重建开始后写入（可再次重建） 1 个")));
    }

    void missingFolderIsReported()
    {
        const RecordRebuilder::Result result = RecordRebuilder::rebuild(*m_store, folder() + QStringLiteral("没有"));
        QVERIFY(!result.ok);
        QVERIFY(RecordRebuilder::report(result).contains(QStringLiteral("不存在")));
        QVERIFY(rows().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecordRebuilder)
#include "tst_recordrebuilder.moc"
