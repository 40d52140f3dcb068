#include "capture/pagesource.h"
#include "capture/sourcechoice.h"

#include <QMimeData>
#include <QTest>

namespace {

const QString kHtmlFormat = QStringLiteral("application/x-qt-windows-mime;value=\"HTML Format\"");
const QString kChromiumSource = QStringLiteral("application/x-qt-windows-mime;value=\"Chromium internal source URL\"");

// "HTML Format" as Chromium and Edge write it: a header of offsets, then the markup.
QByteArray htmlFormat(const QByteArray &sourceLine)
{
    return "Version:0.9\r\nStartHTML:0000000105\r\nEndHTML:0000000199\r\n"
           "StartFragment:0000000141\r\nEndFragment:0000000163\r\n"
        + sourceLine + "<html><body><!--StartFragment-->选中的文字<!--EndFragment--></body></html>";
}

QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

QByteArray utf16BigEndian(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() >> 8));
        bytes.append(static_cast<char>(c.unicode() & 0xff));
    }
    return bytes;
}

QString addressOf(const QMimeData &data)
{
    return PageSource::carriedAddressOf(data).address;
}

PageSource::CarriedAddress carried(const char *format, const QByteArray &bytes)
{
    QMimeData data;
    data.setText(QStringLiteral("选中的文字"));
    data.setData(QLatin1String(format), bytes);
    return PageSource::carriedAddressOf(data);
}

} // namespace

class TestPageSource final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void htmlFormatHeader()
    {
        QMimeData data;
        data.setText(QStringLiteral("选中的文字"));
        data.setData(kHtmlFormat, htmlFormat("SourceURL:https://news.example.cn/a?id=7&p=%E4%B8%AD\r\n"));
        QCOMPARE(addressOf(data), QStringLiteral("https://news.example.cn/a?id=7&p=%E4%B8%AD"));

        QMimeData withoutSource;
        withoutSource.setText(QStringLiteral("选中的文字"));
        withoutSource.setData(kHtmlFormat, htmlFormat(""));
        QCOMPARE(addressOf(withoutSource), QString());

        // A SourceURL inside the markup is page text, not the header's.
        QMimeData inMarkup;
        inMarkup.setData(kHtmlFormat, htmlFormat("") + "\r\nSourceURL:http://wrong.example/");
        QCOMPARE(addressOf(inMarkup), QString());
    }

    void chromiumAndFirefoxCarriers()
    {
        QMimeData chromium;
        chromium.setData(kChromiumSource, "https://chromium.example/page");
        chromium.setData(kHtmlFormat, htmlFormat("SourceURL:https://chromium.example/other\r\n"));
        QCOMPARE(addressOf(chromium), QStringLiteral("https://chromium.example/page"));

        QMimeData firefox;
        firefox.setText(QStringLiteral("copied"));
        firefox.setData(QStringLiteral("text/x-moz-url-priv"), utf16(QStringLiteral("https://例子.example/页")));
        QCOMPARE(addressOf(firefox), QStringLiteral("https://例子.example/页"));

        QMimeData firefoxUtf8;
        firefoxUtf8.setData(QStringLiteral("text/x-moz-url-priv"), "https://ff.example/\n");
        QCOMPARE(addressOf(firefoxUtf8), QStringLiteral("https://ff.example/"));
    }

    // Byte layouts as the browsers write them on Linux and Windows.
    void carrierByteLayouts()
    {
        const QString page = QStringLiteral("https://例子.example:8080/文章/7?id=3&q=中");
        const QString origin = QStringLiteral("http://127.0.0.1:8000");
        const QByteArray nul(2, '\0');
        struct Layout
        {
            const char *format;
            QByteArray bytes;
            QString address;
            bool fullPage;
        };
        const QList<Layout> layouts = {
            {"chromium/x-source-url", page.toUtf8(), page, true},
            {"chromium/x-source-url", page.toUtf8() + '\0', page, true},
            {"text/x-moz-url-priv", utf16(origin), origin, false},
            {"text/x-moz-url-priv", utf16(origin) + nul, origin, false},
            {"text/x-moz-url-priv", "\xff\xfe" + utf16(origin + QStringLiteral("/")) + nul, origin + QStringLiteral("/"), false},
            {"text/x-moz-url-priv", "\xfe\xff" + utf16BigEndian(page), page, true},
            {"text/x-moz-url-priv", utf16BigEndian(page), page, true},
            {"text/x-moz-url-priv", utf16(page + QStringLiteral("\r\n页面标题")), page, true},
            {"chromium/x-renderer-taint", origin.toUtf8(), origin, false},
            {"chromium/x-renderer-taint", utf16(origin) + nul, origin, false},
            {"application/x-qt-windows-mime;value=\"Chromium internal source URL\"", page.toUtf8() + "\r\n", page, true},
        };
        for (const Layout &layout : layouts) {
            const PageSource::CarriedAddress result = carried(layout.format, layout.bytes);
            QCOMPARE(result.address, layout.address);
            QCOMPARE(result.fullPage, layout.fullPage);
        }
        // The full page address wins over an origin in the same data, in any format order.
        QMimeData both;
        both.setData(QStringLiteral("text/x-moz-url-priv"), utf16(origin));
        both.setData(QStringLiteral("chromium/x-source-url"), page.toUtf8());
        QCOMPARE(addressOf(both), page);
        QVERIFY(PageSource::isOriginOnly(QStringLiteral("https://host.example")));
        QVERIFY(!PageSource::isOriginOnly(QStringLiteral("https://host.example/?q=1")));
        QVERIFY(!PageSource::isOriginOnly(QStringLiteral("file:///home/me/page.html")));
    }

    // Surest first: a full address in the data, the browser's address bar, an origin in the
    // data; an origin never replaces a full address, whichever came first.
    void sourceRanking()
    {
        const PageSource::CarriedAddress full{QStringLiteral("https://a.example/story?id=1"), true};
        const PageSource::CarriedAddress origin{QStringLiteral("https://a.example"), false};
        const QString bar = QStringLiteral("https://a.example/from-the-bar");

        SourceChoice originFirst;
        originFirst.addCarried(origin);
        QCOMPARE(originFirst.address(), origin.address);
        originFirst.setDiscovered(bar);
        QCOMPARE(originFirst.address(), bar);
        originFirst.addCarried(full);
        QCOMPARE(originFirst.address(), full.address);

        SourceChoice fullFirst;
        fullFirst.setDiscovered(bar);
        fullFirst.addCarried(full);
        fullFirst.addCarried(origin);
        fullFirst.setDiscovered(QStringLiteral("https://other.example/page"));
        QCOMPARE(fullFirst.address(), full.address);
        fullFirst.setDiscovered(QString());
        QCOMPARE(fullFirst.address(), full.address);

        // Without a browser window the origin still beats nothing; new data starts afresh.
        SourceChoice withoutBar;
        withoutBar.addCarried(full);
        withoutBar.forgetCarried();
        withoutBar.addCarried(origin);
        QCOMPARE(withoutBar.address(), origin.address);
        withoutBar.forgetCarried();
        QCOMPARE(withoutBar.address(), QString());
    }

    void draggedLinksAreNotThePage()
    {
        QMimeData link;
        link.setText(QStringLiteral("https://link.example/"));
        link.setData(QStringLiteral("text/uri-list"), "https://link.example/\r\n");
        link.setData(QStringLiteral("text/x-moz-url"), utf16(QStringLiteral("https://link.example/\nLink")));
        link.setHtml(QStringLiteral("<a href=\"https://link.example/\">Link</a>"));
        QCOMPARE(addressOf(link), QString());
    }

    void textAloneAndBadCarriers()
    {
        QMimeData plain;
        plain.setText(QStringLiteral("https://typed.example/ in a note"));
        QCOMPARE(addressOf(plain), QString());

        QMimeData broken;
        broken.setData(QStringLiteral("text/x-moz-url-priv"), "not an\taddress");
        broken.setData(kHtmlFormat, "Version:0.9\r\nSourceURL:");
        QCOMPARE(addressOf(broken), QString());
    }
};

QTEST_GUILESS_MAIN(TestPageSource)
#include "tst_pagesource.moc"
