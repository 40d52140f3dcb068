#include "common/gbkcodec.h"
#include "common/gbkfilereader.h"
#include "common/gbktextfile.h"
#include "support/fullfilesystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestGbk : public QObject
{
    Q_OBJECT

private slots:
    void gbkCharactersAreWrittenAsGbkBytes()
    {
        QCOMPARE(Gbk::encode(u"中文abc"), QByteArray("\xD6\xD0\xCE\xC4" "abc"));
        QCOMPARE(Gbk::decode("\xD6\xD0\xCE\xC4" "abc"), QStringLiteral("中文abc"));
    }

    void charactersOutsideGbkSurviveARoundTrip()
    {
        const QString text = QStringLiteral("表情😀，生僻字𠀀，欧元€");
        QCOMPARE(Gbk::decode(Gbk::encode(text)), text);
    }

    void loneEuroByteOfCodePage936ReadsAsEuro()
    {
        QCOMPARE(Gbk::decode("\x80" "5"), QStringLiteral("€5"));
        // 0x80 as the second byte of a GBK pair is not a euro sign.
        const QByteArray pair = Gbk::encode(u"丂");  // 0x81 0x40
        QCOMPARE(Gbk::decode(QByteArray(pair + "\x80")), QStringLiteral("丂€"));
        QCOMPARE(Gbk::decode("\x81\x80").size(), 1);
        QCOMPARE(Gbk::encode(Gbk::decode("\x81\x80")), QByteArray("\x81\x80"));
    }

    void euroIsCodePage936sSingleByte()
    {
        QCOMPARE(Gbk::encode(u"€"), QByteArray("\x80"));
        QCOMPARE(Gbk::encode(u"中€a€😀"), QByteArray("\xD6\xD0\x80" "a" "\x80" "\x94\x39\xFC\x36"));
        QCOMPARE(Gbk::decode("\xA2\xE3\x80"), QStringLiteral("€€"));
        const QString text = QStringLiteral("价格€5，€€");
        QCOMPARE(Gbk::decode(Gbk::encode(text)), text);
    }

    void prefixNeverSplitsACharacter()
    {
        const QByteArray bytes = Gbk::encode(u"a中b😀");  // 1 + 2 + 1 + 4 bytes
        QCOMPARE(Gbk::wholeCharacterPrefix(bytes, 2), 1);
        QCOMPARE(Gbk::wholeCharacterPrefix(bytes, 3), 3);
        QCOMPARE(Gbk::wholeCharacterPrefix(bytes, 7), 4);
        QCOMPARE(Gbk::wholeCharacterPrefix(bytes, 100), 8);
    }

    void lineBreaksBecomeCrLf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lf") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("crlf kept") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("lone cr") << QStringLiteral("a\rb") << QStringLiteral("a\r\nb");
        QTest::newRow("trailing") << QStringLiteral("a\n\n") << QStringLiteral("a\r\n\r\n");
    }
    void lineBreaksBecomeCrLf()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(GbkTextFile::toCrLf(text), expected);
    }

    // Every character and line break cut at a piece's end, in each of its positions, reads and
    // counts as in the whole text.
    void piecesReadAsTheWholeFile()
    {
        QTemporaryDir dir;
        const QByteArray unit = Gbk::encode(QStringLiteral("中😀\r\n\ra\n")) + '\x80';
        QCOMPARE(unit.size(), 12);
        for (int padding = 0; padding < unit.size(); ++padding) {
            QByteArray bytes(padding, 'x');
            while (bytes.size() < GbkFileReader::kPieceBytes + 64)
                bytes += unit;
            const QString path = dir.filePath(QStringLiteral("%1.txt").arg(padding));
            QVERIFY(GbkTextFile::writeBytes(path, bytes));

            GbkFileReader reader(path);
            QVERIFY(reader.open());
            QString text;
            GbkTextFile::CrLfLength length;
            while (!reader.atEnd()) {
                const QString piece = reader.readPiece();
                QVERIFY(!reader.hasError());
                text += piece;
                length.add(piece);
            }
            const QString whole = Gbk::decode(bytes);
            QVERIFY2(text == whole, qPrintable(QStringLiteral("padding %1").arg(padding)));
            QCOMPARE(length.value(), GbkTextFile::toCrLf(GbkTextFile::fromCrLf(whole)).size());
        }
        GbkFileReader missing(dir.filePath(QStringLiteral("无.txt")));
        QVERIFY(!missing.open());
    }

    void fileRoundTripUsesGbkAndCrLfWithoutBom()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("笔记.txt"));
        const QString text = QStringLiteral("第一行\n第二行😀\n");
        QVERIFY(GbkTextFile::write(path, text));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xB5\xDA"));  // 第 in GBK, no byte-order mark
        QVERIFY(bytes.contains("\r\n"));
        QCOMPARE(GbkTextFile::read(path), text);
    }

    void failedWriteReportsAndLeavesNoFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/folder/x.txt"));
        QString error;
        QVERIFY(!GbkTextFile::write(path, QStringLiteral("x"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(path));
        QVERIFY(!GbkTextFile::read(path).has_value());
    }

    void fullDiskIsReportedAndKeepsTheOldFile()
    {
        FullFileSystem disk;
        if (!disk.isMounted())
            QSKIP("a small file system can only be mounted as root");
        const QString path = disk.filePath(QStringLiteral("笔记.txt"));
        QVERIFY(GbkTextFile::write(path, QStringLiteral("旧内容")));
        disk.fill();
        // A short text (inside Qt's buffer) and one larger than the buffer both fail.
        for (const QString &text : {QStringLiteral("新内容"), QString(40000, u'字')}) {
            QString error;
            QVERIFY(!GbkTextFile::write(path, text, &error));
            QCOMPARE(error, QStringLiteral("磁盘已满"));
            QCOMPARE(GbkTextFile::read(path), QStringLiteral("旧内容"));
        }
        QCOMPARE(QDir(disk.filePath(QString())).entryList(QDir::Files).size(), 2);  // no temporary left
    }
};

QTEST_GUILESS_MAIN(TestGbk)
#include "tst_gbk.moc"
