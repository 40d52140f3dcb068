#include "platform/qtdialogs.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

// Qt's own dialogs as the program sets them up, offscreen.
class TestQtDialogs final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The filter reads exactly as given, matches its pattern in any letter case and the dialog
    // starts in the folder asked for.
    void fileDialogShowsTheFilterAsGivenAndIgnoresCase()
    {
        QTemporaryDir dir;
        for (const char *name : {"小.txt", "大.TXT", "别的.doc"}) {
            QFile file(dir.filePath(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const std::unique_ptr<QFileDialog> dialog = QtDialogs::fileDialog(
            nullptr, QStringLiteral("打开"), QStringLiteral("文本文件(*.TXT)"), dir.path(), QFileDialog::AcceptOpen);
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        dialog->show();
        auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        QCOMPARE(types->count(), 1);
        QCOMPARE(types->currentText(), QStringLiteral("文本文件(*.TXT)"));

        auto *list = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView"));
        QVERIFY(list);
        const auto shown = [list] {
            QStringList names;
            const QModelIndex root = list->rootIndex();
            for (int row = 0; row < list->model()->rowCount(root); ++row)
                names.append(list->model()->index(row, 0, root).data().toString());
            names.sort();
            return names;
        };
        QTRY_COMPARE(shown(), (QStringList{QStringLiteral("大.TXT"), QStringLiteral("小.txt")}));
        dialog->reject();
    }

    // Printing honours no page range, so the dialog offers none; a selection is the range.
    void printDialogOffersNoPageRange()
    {
        QPrinter printer;
        QPrintDialog dialog(&printer);
        QtDialogs::setPrintOptions(dialog, true);
        QVERIFY(!dialog.testOption(QAbstractPrintDialog::PrintPageRange));
        QVERIFY(dialog.testOption(QAbstractPrintDialog::PrintSelection));
        QCOMPARE(dialog.printRange(), QAbstractPrintDialog::Selection);

        QtDialogs::setPrintOptions(dialog, false);
        QVERIFY(!dialog.testOption(QAbstractPrintDialog::PrintSelection));
        QCOMPARE(dialog.printRange(), QAbstractPrintDialog::AllPages);
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
