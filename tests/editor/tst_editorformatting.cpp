#include "editor/documentprinter.h"
#include "editor/textformatting.h"
#include "pdfwords.h"

#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using TextFormatting::Alignment;

class TestEditorFormatting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leftRightIndentsAndPlainLeftKeepsThem()
    {
        QTextDocument document(QStringLiteral("第一段\n第二段"));
        QTextCursor cursor(&document);
        TextFormatting::align(cursor, Alignment::Centre);
        QCOMPARE(document.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

        TextFormatting::align(cursor, Alignment::LeftWithIndents);
        QTextBlockFormat format = document.firstBlock().blockFormat();
        QVERIFY(format.alignment() & Qt::AlignLeft);
        // 1900 twips for the first line, 1250 for the rest, 1800 on the right, at 15 twips a pixel.
        QCOMPARE(format.leftMargin() + format.textIndent(), 1900 / 15.0);
        QCOMPARE(format.leftMargin(), 1250 / 15.0);
        QCOMPARE(format.rightMargin(), 120.0);
        // Only the paragraph at the cursor changes.
        QCOMPARE(document.lastBlock().blockFormat().leftMargin(), 0.0);

        TextFormatting::align(cursor, Alignment::Right);
        QVERIFY(document.firstBlock().blockFormat().alignment() & Qt::AlignRight);
        TextFormatting::align(cursor, Alignment::Left);
        format = document.firstBlock().blockFormat();
        QVERIFY(format.alignment() & Qt::AlignLeft);
        QCOMPARE(format.leftMargin(), 1250 / 15.0);
    }

    void fontFormatLeavesTheColourAlone()
    {
        QFont font(QStringLiteral("隶书"), 20);
        font.setBold(true);
        font.setItalic(true);
        font.setUnderline(true);
        font.setStrikeOut(true);
        const QTextCharFormat format = TextFormatting::fontFormat(font);
        QCOMPARE(format.fontFamilies().toStringList().value(0), QStringLiteral("隶书"));
        QCOMPARE(format.fontPointSize(), 20.0);
        QCOMPARE(format.fontWeight(), int(QFont::Bold));
        QVERIFY(format.fontItalic() && format.fontUnderline() && format.fontStrikeOut());
        QVERIFY(!format.hasProperty(QTextFormat::ForegroundBrush));
    }

    void selectionColourIsBlackWhenMixed()
    {
        QTextDocument document(QStringLiteral("红黑"));
        QTextCursor cursor(&document);
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        QTextCharFormat red;
        red.setForeground(QColor(Qt::red));
        cursor.mergeCharFormat(red);
        QCOMPARE(TextFormatting::selectionColor(cursor), QColor(Qt::red));
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        QCOMPARE(TextFormatting::selectionColor(cursor), QColor(Qt::black));
        cursor.movePosition(QTextCursor::End);
        QCOMPARE(TextFormatting::selectionColor(cursor), QColor(Qt::black));
    }

    void plainPrintStartsThreeQuartersOfAnInchInAndHalfAnInchDown()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("plain.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(DocumentPrinter::printPlain(QStringLiteral("Alpha line\nSecond"), QFont(QStringLiteral("宋体"), 16), printer));

        const QList<PdfWord> words = pdfWords(pdf);
        QCOMPARE(words.size(), 3);
        QCOMPARE(words[0].text, QStringLiteral("Alpha"));
        QCOMPARE(words[2].text, QStringLiteral("Second"));
        const QRectF printable = printer.pageLayout().paintRect(QPageLayout::Point);
        QVERIFY2(qAbs(words[0].box.left() - (printable.left() + 54)) < 2.0, qPrintable(QString::number(words[0].box.left())));
        QVERIFY2(qAbs(words[0].box.top() - (printable.top() + 36)) < 3.0, qPrintable(QString::number(words[0].box.top())));
        // Each line of the text on its own line, starting at the same left edge.
        QVERIFY(words[2].box.top() > words[0].box.bottom() - 1);
        QVERIFY(qAbs(words[2].box.left() - words[0].box.left()) < 1.0);
    }

    void printingToAnUnwritableFileFails()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("/nonexistent-folder/x.pdf"));
        QTextDocument document(QStringLiteral("text"));
        QVERIFY(!DocumentPrinter::printFormatted(document, printer));
        QVERIFY(!DocumentPrinter::printPlain(QStringLiteral("text"), QFont(), printer));
    }
};

QTEST_MAIN(TestEditorFormatting)
#include "tst_editorformatting.moc"
