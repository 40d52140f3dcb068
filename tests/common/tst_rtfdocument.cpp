#include "common/gbktextfile.h"
#include "common/rtfdocument.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestRtfDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void richTextCopyCarriesTheTextInCodePage936()
    {
        const QByteArray rtf = RtfDocument::fromPlainText(QStringLiteral("中{文}\\\n😀\tx"));
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936"));
        QVERIFY(rtf.contains("\\u20013\\'d6\\'d0"));  // 中: Unicode value, then its GBK bytes
        QVERIFY(rtf.contains("\\{") && rtf.contains("\\}") && rtf.contains("\\\\"));
        QVERIFY(rtf.contains("\\par"));
        QVERIFY(rtf.contains("\\u-10179??\\u-8704??"));  // the emoji as a surrogate pair
        QVERIFY(rtf.contains("\\tab x"));
        QCOMPARE(rtf.count('{') - rtf.count("\\{"), rtf.count('}') - rtf.count("\\}"));

        // The euro sign carries code page 936's byte; control characters never reach the file raw.
        const QByteArray controls = RtfDocument::fromPlainText(QStringView(u"€a\0b\vc\x1b\x7f", 8).toString());
        QVERIFY(controls.contains("{\\uc1\\u8364\\'80}ab\\line c}"));
        for (const char byte : controls)
            QVERIFY(byte == '\r' || byte == '\n' || (byte >= 0x20 && byte < 0x7F));
    }

    void wordProcessorsShowTheSameCharacters()
    {
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed; the rich-text copy is not read back");
        QTemporaryDir dir;
        const QString text = QStringLiteral("今天天气很好，我们去公园。\n{括号} \\反斜杠\t制表\n生僻𠀀 表情😀 欧元€");
        QVERIFY(GbkTextFile::writeBytes(dir.filePath(QStringLiteral("copy.wps.rtf")), RtfDocument::fromPlainText(text)));
        QProcess convert;
        convert.setWorkingDirectory(dir.path());
        convert.start(office, {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
                               QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                               QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("copy.wps.rtf")});
        QVERIFY(convert.waitForFinished(120000));
        QFile converted(dir.filePath(QStringLiteral("copy.wps.txt")));
        QVERIFY(converted.open(QIODevice::ReadOnly));
        QString shown = QString::fromUtf8(converted.readAll());
        shown.remove(QChar(0xFEFF));
        QCOMPARE(GbkTextFile::fromCrLf(shown).trimmed(), text);
    }
};

QTEST_GUILESS_MAIN(TestRtfDocument)
#include "tst_rtfdocument.moc"
