#include "platform/browserrules.h"

#include <QString>
#include <QTest>

namespace {

bool isBrowser(const QString &title)
{
    return BrowserRules::isBrowserTitle(title.toStdU16String());
}

QString address(const QString &fieldText)
{
    return QString::fromStdU16String(BrowserRules::addressFromFieldText(fieldText.toStdU16String()));
}

} // namespace

class TestBrowserRules final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titleMarks_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("browser");
        QTest::newRow("ie") << QStringLiteral("首页 - Microsoft Internet Explorer") << true;
        QTest::newRow("netscape version") << QStringLiteral("Start - Netscape 7.0") << true;
        QTest::newRow("netscape alone") << QStringLiteral("Netscape") << false;
        QTest::newRow("netscape without space") << QStringLiteral("Start-Netscape") << false;
        QTest::newRow("offline explorer") << QStringLiteral("Offline Explorer Pro") << true;
        QTest::newRow("offline explorer lower case") << QStringLiteral("my offline explorer") << false;
        QTest::newRow("firefox em dash") << QStringLiteral("新闻 — Mozilla Firefox") << true;
        QTest::newRow("firefox hyphen") << QStringLiteral("News - Mozilla Firefox") << true;
        QTest::newRow("chrome") << QStringLiteral("News - Google Chrome") << true;
        QTest::newRow("chromium") << QStringLiteral("News - Chromium") << true;
        QTest::newRow("edge") << QStringLiteral("News - Microsoft Edge") << true;
        QTest::newRow("edge zero-width space") << QStringLiteral("News - Microsoft\u200b Edge") << true;
        QTest::newRow("edge other profile") << QStringLiteral("News - Profile 1 - Microsoft\u200b Edge") << true;
        QTest::newRow("brave") << QStringLiteral("News - Brave") << true;
        QTest::newRow("opera") << QStringLiteral("News - Opera") << true;
        QTest::newRow("vivaldi") << QStringLiteral("News - Vivaldi") << true;
        QTest::newRow("case matters") << QStringLiteral("News - google chrome") << false;
        QTest::newRow("editor") << QStringLiteral("notes.txt - 记事本") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void titleMarks()
    {
        QFETCH(QString, title);
        QFETCH(bool, browser);
        QCOMPARE(isBrowser(title), browser);
    }

    void firstBrowserInZOrder()
    {
        const std::vector<std::u16string> none = {u"Terminal", u"Netscape", u"offline explorer"};
        QCOMPARE(BrowserRules::firstBrowser(none), -1);
        QCOMPARE(BrowserRules::firstBrowser({}), -1);
        const std::vector<std::u16string> two = {u"Terminal", u"B - Chromium", u"A - Mozilla Firefox"};
        QCOMPARE(BrowserRules::firstBrowser(two), 1);
    }

    void schemeRule_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("address");
        QTest::newRow("host and path") << QStringLiteral("example.com/news?id=1") << QStringLiteral("http://example.com/news?id=1");
        QTest::newRow("host only") << QStringLiteral("www.example.com") << QStringLiteral("http://www.example.com");
        QTest::newRow("localhost with port") << QStringLiteral("localhost:8080/a") << QStringLiteral("http://localhost:8080/a");
        QTest::newRow("ipv4") << QStringLiteral("192.168.1.1/admin") << QStringLiteral("http://192.168.1.1/admin");
        QTest::newRow("ipv6") << QStringLiteral("[::1]:8000/") << QStringLiteral("http://[::1]:8000/");
        QTest::newRow("unicode host") << QStringLiteral("例子.中国/页") << QStringLiteral("http://例子.中国/页");
        QTest::newRow("https kept") << QStringLiteral("https://example.com/") << QStringLiteral("https://example.com/");
        QTest::newRow("file kept") << QStringLiteral("file:///tmp/a.html") << QStringLiteral("file:///tmp/a.html");
        QTest::newRow("about kept") << QStringLiteral("about:blank") << QStringLiteral("about:blank");
        QTest::newRow("search words") << QStringLiteral("weather today") << QStringLiteral("weather today");
        QTest::newRow("single word") << QStringLiteral("news") << QStringLiteral("news");
        QTest::newRow("bad port") << QStringLiteral("example.com:abc") << QStringLiteral("example.com:abc");
        QTest::newRow("user info") << QStringLiteral("me@example.com") << QStringLiteral("me@example.com");
        QTest::newRow("trailing dot label") << QStringLiteral("example.") << QStringLiteral("example.");
        QTest::newRow("empty") << QString() << QString();
    }
    void schemeRule()
    {
        QFETCH(QString, field);
        QFETCH(QString, address);
        QCOMPARE(::address(field), address);
    }
};

QTEST_GUILESS_MAIN(TestBrowserRules)
#include "tst_browserrules.moc"
