#include "common/gbktextfile.h"
#include "common/programfolder.h"
#include "common/twips.h"
#include "help/helpviewer.h"
#include "help/helptopics.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

// The help viewer's topic tree, its topic search and the shipped help document.
class TestHelp final : public QObject
{
    Q_OBJECT

private:
    static QTreeWidget *tree(const HelpViewer &viewer)
    {
        return viewer.findChild<QTreeWidget *>(QStringLiteral("topicTree"));
    }
    static QTextEdit *document(const HelpViewer &viewer)
    {
        return viewer.findChild<QTextEdit *>(QStringLiteral("documentView"));
    }

    static QTreeWidgetItem *nodeWithKey(const HelpViewer &viewer, const QString &key)
    {
        for (QTreeWidgetItemIterator it(tree(viewer)); *it; ++it) {
            if ((*it)->data(0, HelpViewer::KeyRole).toString() == key)
                return *it;
        }
        return nullptr;
    }

    static QString writeDocument(const QTemporaryDir &dir, const QString &text)
    {
        const QString path = ProgramFolder(dir.path()).filePath(QStringLiteral("readme.txt"));
        if (!GbkTextFile::write(path, text))
            return {};
        return path;
    }

private Q_SLOTS:
    void treeHoldsTheTopicsInOrderWithOnlyTheRootExpanded()
    {
        HelpViewer viewer(QStringLiteral("/nonexistent/readme.txt"));
        const QStringList keys{QStringLiteral("explor"), QStringLiteral("help2"),  QStringLiteral("help4"),
                               QStringLiteral("help5"),  QStringLiteral("help6"),  QStringLiteral("help7"),
                               QStringLiteral("help8"),  QStringLiteral("help9"),  QStringLiteral("help10"),
                               QStringLiteral("help11"), QStringLiteral("help12"), QStringLiteral("help13"),
                               QStringLiteral("help14"), QStringLiteral("help15")};
        const QList<int> depths{0, 1, 2, 1, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2};
        QStringList seenKeys;
        QList<int> seenDepths;
        for (QTreeWidgetItemIterator it(tree(viewer)); *it; ++it) {
            int depth = 0;
            for (QTreeWidgetItem *up = (*it)->parent(); up; up = up->parent())
                ++depth;
            seenKeys.append((*it)->data(0, HelpViewer::KeyRole).toString());
            seenDepths.append(depth);
            QCOMPARE((*it)->isExpanded(), depth == 0);
            const QString image = (*it)->data(0, HelpViewer::ImageRole).toString();
            QCOMPARE(image, depth == 0 ? QStringLiteral("expText")
                                       : depth == 1 ? QStringLiteral("fileOff") : QStringLiteral("helpOff"));
        }
        QCOMPARE(seenKeys, keys);
        QCOMPARE(seenDepths, depths);
        QTreeWidgetItem *root = tree(viewer)->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("Notavo帮助文档"));
        QCOMPARE(root->data(0, HelpViewer::TagRole).toString(), QStringLiteral("root"));
        QCOMPARE(nodeWithKey(viewer, QStringLiteral("help7"))->text(0), QStringLiteral("设置后台编辑软件"));
        QCOMPARE(nodeWithKey(viewer, QStringLiteral("help14"))->data(0, HelpViewer::SelectedImageRole).toString(),
                 QStringLiteral("helpOn"));
    }

    void clickingANodeSelectsItsFirstOccurrence()
    {
        QTemporaryDir dir;
        const QString text = QStringLiteral("标题\nNotavo的系统设置\n设置后台编辑软件\n说明文字\n"
                                            "再说一次：设置后台编辑软件。\nnotavo帮助文档在此\n");
        HelpViewer viewer(writeDocument(dir, text));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));

        // A topic: the first of its two occurrences, clicked with the mouse.
        QTreeWidgetItem *topic = nodeWithKey(viewer, QStringLiteral("help7"));
        topic->parent()->setExpanded(true);
        QTreeWidget *topics = tree(viewer);
        QTest::mouseClick(topics->viewport(), Qt::LeftButton, {}, topics->visualItemRect(topic).center());
        QTextCursor selection = document(viewer)->textCursor();
        QCOMPARE(selection.selectedText(), QStringLiteral("设置后台编辑软件"));
        QCOMPARE(selection.selectionStart(), text.indexOf(QStringLiteral("设置后台编辑软件")));

        // A chapter selects its own heading, not its first topic.
        topics->setCurrentItem(nodeWithKey(viewer, QStringLiteral("help5")));
        selection = document(viewer)->textCursor();
        QCOMPARE(selection.selectedText(), QStringLiteral("Notavo的系统设置"));
        QCOMPARE(selection.selectionStart(), text.indexOf(QStringLiteral("Notavo的系统设置")));

        // Letter case is ignored.
        topics->setCurrentItem(topics->topLevelItem(0));
        QCOMPARE(document(viewer)->textCursor().selectedText(), QStringLiteral("notavo帮助文档"));

        // A text that does not occur leaves the caret after the first character.
        topics->setCurrentItem(nodeWithKey(viewer, QStringLiteral("help12")));
        QVERIFY(!document(viewer)->textCursor().hasSelection());
        QCOMPARE(document(viewer)->textCursor().position(), 1);
    }

    // The designed size is the smallest; the document takes what the window gains.
    void documentTakesWhatTheWindowGains()
    {
        HelpViewer viewer(QStringLiteral("/nonexistent/readme.txt"));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QCOMPARE(viewer.size(), Twips::size(9405, 6285));
        QCOMPARE(viewer.minimumSize(), Twips::size(9405, 6285));
        auto *close = viewer.findChild<QPushButton *>(QStringLiteral("closeButton"));
        QCOMPARE(tree(viewer)->geometry(), Twips::rect(0, 0, 3000, 6135));
        QCOMPARE(document(viewer)->geometry().topLeft(), Twips::point(3000, 0));
        QCOMPARE(document(viewer)->width(), Twips::toPixels(6375));
        QVERIFY(document(viewer)->geometry().bottom() < close->geometry().top());
        QVERIFY(viewer.rect().contains(close->geometry()));

        const QSize documentSize = document(viewer)->size();
        viewer.resize(viewer.size() + QSize(120, 80));
        QTRY_COMPARE(document(viewer)->size(), documentSize + QSize(120, 80));
        QCOMPARE(tree(viewer)->width(), Twips::toPixels(3000));
        QVERIFY(viewer.rect().contains(close->geometry()));
    }

    void missingDocumentIsReportedInTheTextArea()
    {
        QTemporaryDir dir;
        const QString path = ProgramFolder(dir.path()).filePath(QStringLiteral("readme.txt"));
        QPointer<HelpViewer> viewer = new HelpViewer(path);
        QVERIFY(document(*viewer)->toPlainText().contains(QStringLiteral("找不到帮助文档")));
        QVERIFY(document(*viewer)->toPlainText().contains(path));
        // Closing hides the viewer and, as it deletes itself on close, frees it.
        viewer->show();
        QVERIFY(viewer->isVisible());
        viewer->findChild<QPushButton *>(QStringLiteral("closeButton"))->click();
        QVERIFY(!viewer->isVisible());
        QTRY_VERIFY(viewer.isNull());
    }

    void shippedDocumentHasEveryHeadingInTreeOrder()
    {
        const auto document = GbkTextFile::read(QStringLiteral(NOTAVO_HELP_DOCUMENT));
        QVERIFY(document.has_value());
        qsizetype previous = -1;
        for (const HelpTopic &topic : HelpTopics::all()) {
            const qsizetype at = document->indexOf(topic.text, 0, Qt::CaseInsensitive);
            QVERIFY2(at >= 0, qPrintable(topic.text));
            QVERIFY2(at == 0 || document->at(at - 1) == u'\n', qPrintable(topic.text + QStringLiteral(" is not a heading")));
            QVERIFY2(document->indexOf(u'\n', at) == at + topic.text.size(), qPrintable(topic.text));
            QVERIFY2(at > previous, qPrintable(topic.text + QStringLiteral(" is out of order")));
            previous = at;
        }
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
