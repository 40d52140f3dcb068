#include "capture/clipboardsecrecy.h"
#include "capture/pencapture.h"

#include <QMimeData>
#include <QTest>

class TestPenCapture final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appendsEachDistinctText();
    void secretMarkers_data();
    void secretMarkers();
};

void TestPenCapture::appendsEachDistinctText()
{
    PenCapture pen;
    QString capture;
    QVERIFY(!pen.take(QString(), capture));
    QVERIFY(pen.take(QStringLiteral("abc"), capture));
    QVERIFY(!pen.take(QStringLiteral("abc"), capture));
    QVERIFY(pen.take(QStringLiteral("def"), capture));
    QCOMPARE(capture, QStringLiteral("abc\ndef"));
    QVERIFY(pen.take(QStringLiteral("abc"), capture));
    QCOMPARE(capture, QStringLiteral("abc\ndef\nabc"));
    QCOMPARE(pen.lastTaken(), QStringLiteral("abc"));

    // A capture emptied by the user starts again with the next new text alone.
    capture.clear();
    QVERIFY(!pen.take(QStringLiteral("abc"), capture));
    QVERIFY(pen.take(QStringLiteral("xyz"), capture));
    QCOMPARE(capture, QStringLiteral("xyz"));
}

void TestPenCapture::secretMarkers_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("secret");

    const QString windows = QStringLiteral("application/x-qt-windows-mime;value=\"%1\"");
    QTest::newRow("kde secret") << QStringLiteral("x-kde-passwordManagerHint") << QByteArray("secret") << true;
    QTest::newRow("kde other hint") << QStringLiteral("x-kde-passwordManagerHint") << QByteArray("public") << false;
    QTest::newRow("windows exclude")
        << windows.arg(QStringLiteral("ExcludeClipboardContentFromMonitorProcessing")) << QByteArray("x") << true;
    QTest::newRow("windows history off")
        << windows.arg(QStringLiteral("CanIncludeInClipboardHistory")) << QByteArray(4, '\0') << true;
    QTest::newRow("windows history on")
        << windows.arg(QStringLiteral("CanIncludeInClipboardHistory")) << QByteArray("\x01\0\0\0", 4) << false;
    QTest::newRow("macos concealed") << QStringLiteral("org.nspasteboard.ConcealedType") << QByteArray() << true;
    QTest::newRow("ordinary html") << QStringLiteral("text/html") << QByteArray("<b>x</b>") << false;
}

void TestPenCapture::secretMarkers()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, value);
    QFETCH(bool, secret);
    QMimeData data;
    data.setText(QStringLiteral("password"));
    data.setData(format, value);
    QCOMPARE(ClipboardSecrecy::isSecret(data), secret);
}

QTEST_APPLESS_MAIN(TestPenCapture)
#include "tst_pencapture.moc"
