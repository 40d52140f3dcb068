#include "editorfixture.h"
#include "pdfwords.h"

#include "common/gbkcodec.h"
#include "common/gbktextfile.h"
#include "editor/textformatting.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPrinter>
#include <QSignalSpy>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<QPrinter> pdfPrinter(const QString &path)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

} // namespace

class TestEditorCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;

    // What the editor said it saved under a chosen name: path and text, one entry each time.
    std::unique_ptr<QSignalSpy> savedAs;

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        savedAs = std::make_unique<QSignalSpy>(&f->editor, &EditorController::documentSavedAs);
    }
    void cleanup()
    {
        savedAs.reset();
        f.reset();
    }

    void saveAsIsAnnouncedEveryTimeAndSaveIsNot()
    {
        DocumentWindow *document = f->newDocument(QStringLiteral("三个\n字"));
        const QString first = f->path(QStringLiteral("笔记"));
        f->dialogs.fileNames.enqueue(first);
        f->actions().saveAction->trigger();
        QCOMPARE(f->dialogs.fileDialogs.size(), 1);
        QCOMPARE(f->dialogs.fileDialogs[0].first, QStringLiteral("  "));
        QCOMPARE(f->dialogs.fileDialogs[0].second, DocumentWindow::fileFilter());
        // Saved as typed, without an added extension, in GBK with CR LF and no BOM.
        QCOMPARE(bytesOf(first), Gbk::encode(u"三个\r\n字"));
        QCOMPARE(document->caption(), first);
        QCOMPARE(document->filePath(), first);
        QVERIFY(!document->isModified());

        QCOMPARE(savedAs->size(), 1);
        QCOMPARE(savedAs->at(0), (QVariantList{first, QStringLiteral("三个\n字")}));

        // Saving again writes to the same file without a dialog or an announcement, also after
        // another window has been active.
        f->newDocument(QStringLiteral("别的"));
        f->frame().findChild<QMdiArea *>()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(document->parentWidget()));
        QCOMPARE(f->active(), document);
        f->edit()->append(QStringLiteral("补"));
        f->actions().saveButton->trigger();
        QCOMPARE(f->dialogs.fileDialogs.size(), 1);
        QCOMPARE(bytesOf(first), Gbk::encode(u"三个\r\n字\r\n补"));
        QCOMPARE(savedAs->size(), 1);

        // Formatting never reaches the file; a second save under a name is announced again.
        f->select(0, 2);
        f->actions().centerButton->trigger();
        const QString second = f->path(QStringLiteral("另存.txt"));
        f->dialogs.fileNames.enqueue(second);
        f->actions().saveAsAction->trigger();
        QCOMPARE(bytesOf(second), bytesOf(first));
        QCOMPARE(savedAs->size(), 2);
        QCOMPARE(savedAs->at(1), (QVariantList{second, QStringLiteral("三个\n字\n补")}));

        // A cancelled dialog writes nothing and announces nothing.
        f->actions().saveAsAction->trigger();
        QCOMPARE(savedAs->size(), 2);
        QVERIFY(f->dialogs.messages.isEmpty());
    }

    void gbkFilesRoundTrip()
    {
        // CJK, CR LF, the euro sign and a character GBK cannot hold.
        const QString text = QStringLiteral("中文第一行\r\n€ 与 😀\r\n");
        const QString path = f->path(QStringLiteral("往返.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Gbk::encode(text));
        file.close();
        f->dialogs.fileNames.enqueue(path);
        f->openFolder = f->path(QStringLiteral("存盘"));
        f->actions().openButton->trigger();
        QCOMPARE(f->dialogs.fileDialogs.last(), qMakePair(QStringLiteral("打开"), QStringLiteral("文本文件(*.TXT)")));
        QCOMPARE(f->dialogs.openFolders.last(), f->openFolder);  // the save folder
        QCOMPARE(f->edit()->toPlainText(), QStringLiteral("中文第一行\n€ 与 😀\n"));
        QVERIFY(!f->active()->isModified());

        const QByteArray before = bytesOf(path);
        f->edit()->moveCursor(QTextCursor::End);
        f->actions().saveAction->trigger();
        QCOMPARE(bytesOf(path), before);
        QVERIFY(!before.startsWith("\xEF\xBB\xBF"));
        QVERIFY(savedAs->isEmpty());
    }

    void clipboardCommandsPassPlainTextOnly()
    {
        f->newDocument();
        f->edit()->setHtml(QStringLiteral("<span style='color:#ff0000'>红</span>黑"));
        f->select(0, 1);
        f->actions().cutButton->trigger();
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{u"text/plain"_s});
        QCOMPARE(f->edit()->toPlainText(), QStringLiteral("黑"));
        // Pasted text takes the format at the caret, not its old colour.
        f->edit()->moveCursor(QTextCursor::End);
        f->actions().pasteButton->trigger();
        QCOMPARE(f->edit()->toPlainText(), QStringLiteral("黑红"));
        f->select(1, 2);
        QCOMPARE(TextFormatting::selectionColor(f->edit()->textCursor()), QColor(Qt::black));

        f->actions().selectAllAction->trigger();
        QCOMPARE(f->active()->selectionLength(), 2);
        f->actions().deleteAction->trigger();
        QVERIFY(f->edit()->toPlainText().isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("红"));
    }

    void fontAndColourDialogs()
    {
        f->newDocument(QStringLiteral("甲乙"));
        f->select(0, 1);
        QFont chosen(QStringLiteral("隶书"), 22);
        chosen.setBold(true);
        chosen.setStrikeOut(true);
        f->dialogs.fonts.enqueue(chosen);
        f->actions().fontButton->trigger();
        const QTextCharFormat applied = f->edit()->textCursor().charFormat();
        QCOMPARE(applied.fontFamilies().toStringList().value(0), QStringLiteral("隶书"));
        QCOMPARE(applied.fontPointSize(), 22.0);
        QCOMPARE(applied.fontWeight(), int(QFont::Bold));
        QVERIFY(applied.fontStrikeOut() && !applied.fontItalic());

        // The next font dialog starts from the last choice; cancelling changes nothing.
        f->select(1, 2);
        f->actions().fontAction->trigger();
        QCOMPARE(f->dialogs.fontInitials.last().family(), QStringLiteral("隶书"));
        QCOMPARE(f->edit()->textCursor().charFormat().fontWeight(), int(QFont::Normal));

        f->dialogs.colors.enqueue(QColor(Qt::blue));
        f->actions().colorAction->trigger();
        QCOMPARE(f->dialogs.colorInitials.last(), QColor(Qt::black));
        QCOMPARE(TextFormatting::selectionColor(f->edit()->textCursor()), QColor(Qt::blue));
        f->dialogs.colors.enqueue(QColor(Qt::green));
        f->actions().colorButton->trigger();
        QCOMPARE(f->dialogs.colorInitials.last(), QColor(Qt::blue));
        // Mixed colours start the dialog at black.
        f->select(0, 2);
        f->actions().colorAction->trigger();
        QCOMPARE(f->dialogs.colorInitials.last(), QColor(Qt::black));
        QVERIFY(f->dialogs.messages.isEmpty());
    }

    void printDialogPrintsTheSelection()
    {
        const QString pdf = f->path(QStringLiteral("selection.pdf"));
        f->editor.setPrinterSource({[pdf] { return pdfPrinter(pdf); }, [] { return nullptr; }});
        f->newDocument(QStringLiteral("Printed words\nSkipped line"));
        f->select(0, 13);
        f->dialogs.printAnswers.enqueue(true);
        f->actions().printButton->trigger();
        QCOMPARE(f->dialogs.printRequests, QList<bool>{true});
        QCOMPARE(pdfText(pdf), QStringLiteral("Printed words"));

        // Cancelling prints and says nothing; a printer that fails says "未知错误！".
        f->actions().printButton->trigger();
        QVERIFY(f->dialogs.messages.isEmpty());
        f->editor.setPrinterSource({[] { return pdfPrinter(QStringLiteral("/nonexistent-folder/x.pdf")); },
                                    [] { return nullptr; }});
        f->dialogs.printAnswers.enqueue(true);
        f->actions().printButton->trigger();
        QCOMPARE(f->dialogs.messages.size(), 1);
        QCOMPARE(f->dialogs.messages[0].text, QStringLiteral("未知错误！"));
        QCOMPARE(f->dialogs.messages[0].title, QStringLiteral("系统提示："));
    }

    void directPrintUsesTheDefaultPrinter()
    {
        f->newDocument(QStringLiteral("Whole text\nsecond"));
        f->select(0, 5);
        f->actions().printAction->trigger();
        QCOMPARE(f->dialogs.messages.size(), 1);
        QCOMPARE(f->dialogs.messages[0].text, QStringLiteral("没有安装打印机，无法打印！"));

        const QString pdf = f->path(QStringLiteral("direct.pdf"));
        f->editor.setPrinterSource({[] { return nullptr; }, [pdf] { return pdfPrinter(pdf); }});
        f->actions().printAction->trigger();
        QVERIFY(f->dialogs.printRequests.isEmpty());
        QCOMPARE(pdfText(pdf), QStringLiteral("Whole text second"));
    }
};

QTEST_MAIN(TestEditorCommands)
#include "tst_editorcommands.moc"
