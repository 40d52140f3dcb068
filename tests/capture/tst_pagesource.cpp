#include "capture/pagesource.h"

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
        QCOMPARE(PageSource::pageAddressFrom(data), QStringLiteral("https://news.example.cn/a?id=7&p=%E4%B8%AD"));

        QMimeData withoutSource;
        withoutSource.setText(QStringLiteral("选中的文字"));
        withoutSource.setData(kHtmlFormat, htmlFormat(""));
        QCOMPARE(PageSource::pageAddressFrom(withoutSource), QString());

        // A SourceURL inside the markup is page text, not the header's.
        QMimeData inMarkup;
        inMarkup.setData(kHtmlFormat, htmlFormat("") + "\r\nSourceURL:http://wrong.example/");
        QCOMPARE(PageSource::pageAddressFrom(inMarkup), QString());
    }

    void chromiumAndFirefoxCarriers()
    {
        QMimeData chromium;
        chromium.setData(kChromiumSource, "https://chromium.example/page");
        chromium.setData(kHtmlFormat, htmlFormat("SourceURL:https://chromium.example/other\r\n"));
        QCOMPARE(PageSource::pageAddressFrom(chromium), QStringLiteral("https://chromium.example/page"));

        QMimeData firefox;
        firefox.setText(QStringLiteral("copied"));
        firefox.setData(QStringLiteral("text/x-moz-url-priv"), utf16(QStringLiteral("https://例子.example/页")));
        QCOMPARE(PageSource::pageAddressFrom(firefox), QStringLiteral("https://例子.example/页"));

        QMimeData firefoxUtf8;
        firefoxUtf8.setData(QStringLiteral("text/x-moz-url-priv"), "https://ff.example/\n");
        QCOMPARE(PageSource::pageAddressFrom(firefoxUtf8), QStringLiteral("https://ff.example/"));
    }

    void draggedLinksAreNotThePage()
    {
        QMimeData link;
        link.setText(QStringLiteral("https://link.example/"));
        link.setData(QStringLiteral("text/uri-list"), "https://link.example/\r\n");
        link.setData(QStringLiteral("text/x-moz-url"), utf16(QStringLiteral("https://link.example/\nLink")));
        link.setHtml(QStringLiteral("<a href=\"https://link.example/\">Link</a>"));
        QCOMPARE(PageSource::pageAddressFrom(link), QString());
    }

    void textAloneAndBadCarriers()
    {
        QMimeData plain;
        plain.setText(QStringLiteral("https://typed.example/ in a note"));
        QCOMPARE(PageSource::pageAddressFrom(plain), QString());

        QMimeData broken;
        broken.setData(QStringLiteral("text/x-moz-url-priv"), "not an\taddress");
        broken.setData(kHtmlFormat, "Version:0.9\r\nSourceURL:");
        QCOMPARE(PageSource::pageAddressFrom(broken), QString());
    }
};

QTEST_GUILESS_MAIN(TestPageSource)
#include "tst_pagesource.moc"
