#include "historyfixture.h"

#include "common/gbktextfile.h"
#include "common/programfolder.h"

#include "history/historywindow.h"
#include "history/recordgridmodel.h"
#include "platform/testing/fakeclock.h"
#include "platform/testing/recordingshellopener.h"
#include "platform/testing/scripteddialogs.h"
#include "settings/settings.h"
#include "store/searchindex.h"
#include "support/foreignconnection.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTableView>
#include <QTreeWidget>

class TestHistoryWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_fixture = std::make_unique<HistoryFixture>();
        m_dialogs = ScriptedDialogs();
        for (int i = 1; i <= 12; ++i)
            m_fixture->add(QStringLiteral("笔记%1").arg(i), QStringLiteral("小说"), m_clock.today());
        m_settings.editor = EditorChoice::Editor::BuiltIn;
        m_finderShown = 0;
        m_programFolder = ProgramFolder(m_fixture->folder());
        m_window = new HistoryWindow(m_fixture->store(), m_settings, m_programFolder, m_findFileName, m_clock, m_shell,
                                     m_dialogs, {}, [this] { ++m_finderShown; });
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void cleanup() { delete m_window; }

    void opensWithTheTreeAndFifteenEmptyRows()
    {
        auto *tree = m_window->findChild<QTreeWidget *>(QStringLiteral("historyTree"));
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem *root = tree->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("虚拟文件夹"));
        QVERIFY(root->isExpanded());
        QCOMPARE(root->childCount(), 2);
        QCOMPARE(root->child(0)->childCount(), 10);
        QCOMPARE(root->child(1)->childCount(), 7);
        QVERIFY(!root->child(0)->isExpanded());
        QVERIFY(!tree->currentItem());
        QCOMPARE(grid()->model()->rowCount(), 15);
        QCOMPARE(grid()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("文件名"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("历史记录"));
    }

    // A click on the node already chosen lists again, taking in records stored meanwhile.
    void clickingTheSameNodeListsAgain()
    {
        auto *tree = m_window->findChild<QTreeWidget *>(QStringLiteral("historyTree"));
        QTreeWidgetItem *novels = tree->topLevelItem(0)->child(0)->child(3);
        tree->topLevelItem(0)->child(0)->setExpanded(true);
        const QPoint at = tree->visualItemRect(novels).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(field("fileCountField"), QStringLiteral("共列 12 个文件"));
        m_fixture->add(QStringLiteral("新的"), QStringLiteral("小说"), m_clock.today());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(field("fileCountField"), QStringLiteral("共列 13 个文件"));
    }

    void mouseMoveFillsTheStatusFields()
    {
        m_window->listNode(QStringLiteral("xiaoShuo"));
        mouse(QEvent::MouseMove, 5, Qt::NoButton, Qt::NoButton);
        QCOMPARE(field("fileField"), QStringLiteral("当前第 5 个文件"));
        QCOMPARE(field("fileNameField"), QStringLiteral("文件名: 笔记5"));
        QCOMPARE(field("fileCountField"), QStringLiteral("共列 12 个文件"));
        mouse(QEvent::MouseMove, 14, Qt::NoButton, Qt::NoButton);
        QCOMPARE(field("fileCountField"), QString());
    }

    void dragMarksRowsAndThePopupDeletesThem()
    {
        m_window->listNode(QStringLiteral("xiaoShuo"));
        mouse(QEvent::MouseButtonPress, 7, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, 3, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(m_window->marking().startRow, 7);
        QCOMPARE(m_window->marking().endRow, 3);

        mouse(QEvent::MouseButtonRelease, 9, Qt::RightButton, Qt::NoButton);
        auto *popup = m_window->findChild<QMenu *>(QStringLiteral("recordMenu"));
        QTRY_VERIFY(popup->isVisible());
        popup->hide();
        answer(m_dialogs, {Dialogs::Answer::Yes, Dialogs::Answer::No, Dialogs::Answer::No,
                             Dialogs::Answer::No, Dialogs::Answer::Yes});
        m_window->findChild<QAction *>(QStringLiteral("deleteRecordAction"))->trigger();
        QCOMPARE(m_dialogs.messages.size(), 5);
        QCOMPARE(m_dialogs.messages.first().text, QStringLiteral("真的要删除《笔记3》吗？"));
        QCOMPARE(m_dialogs.messages.last().text, QStringLiteral("真的要删除《笔记7》吗？"));
        QCOMPARE(m_window->grid().cellText(3, 1), QString());
        QCOMPARE(m_window->grid().cellText(7, 1), QString());
        QCOMPARE(m_window->grid().cellText(4, 1), QStringLiteral("笔记4"));
        QCOMPARE(m_fixture->store().records()->size(), 10);
    }

    // The banner's word, in whatever font stands in for 隶书, neither runs into the advice line
    // nor leaves the frame.
    void bannerFitsItsFrame()
    {
        auto *frame = m_window->findChild<QWidget *>(QStringLiteral("bannerFrame"));
        auto *advice = frame->findChild<QLabel *>(QStringLiteral("adviceLabel"));
        const QList<QLabel *> words = frame->findChildren<QLabel *>(QStringLiteral("bannerWord"));
        QCOMPARE(words.size(), 2);
        const int adviceTextTop = advice->y() + (advice->height() - advice->fontMetrics().height()) / 2;
        QVERIFY(advice->geometry().bottom() < frame->height());
        for (const QLabel *word : words) {
            const QFontMetrics metrics(word->font());
            const QRect ink = metrics.tightBoundingRect(word->text()).translated(word->x(), word->y() + metrics.ascent());
            QVERIFY2(ink.top() > 0 && ink.bottom() <= adviceTextTop, qPrintable(QStringLiteral("%1..%2 above %3")
                                                                              .arg(ink.top()).arg(ink.bottom()).arg(adviceTextTop)));
            QVERIFY(metrics.horizontalAdvance(word->text()) <= word->width());
            QVERIFY(word->geometry().right() < frame->width());
        }
    }

    void missingFileLeadsToTheFinder()
    {
        m_window->listNode(QStringLiteral("xiaoShuo"));
        m_dialogs.answers.enqueue(Dialogs::Answer::Yes);
        mouse(QEvent::MouseButtonDblClick, 2, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_findFileName, QStringLiteral("笔记2.txt"));
        QCOMPARE(m_finderShown, 1);
    }

    void listingErrorIsShownInAMessage()
    {
        QTemporaryDir dir;
        RecordStore broken(dir.path());
        HistoryWindow window(broken, m_settings, m_programFolder, m_findFileName, m_clock, m_shell, m_dialogs, {});
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.listNode(QStringLiteral("daToDay"));
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.first().title, QStringLiteral("系统提示："));
        QCOMPARE(m_dialogs.messages.first().icon, Dialogs::Icon::Critical);
        QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("fileCountField"))->text(), QStringLiteral("共列 0 个文件"));
    }

    void searchFieldListsRecordsByTheirText()
    {
        QVERIFY(GbkTextFile::write(m_fixture->filePath(QStringLiteral("笔记3.txt")), QStringLiteral("今天学习全文搜索")));
        QVERIFY(GbkTextFile::write(m_fixture->filePath(QStringLiteral("笔记5.txt")), QStringLiteral("搜索引擎")));
        m_fixture->add(QStringLiteral("笔记3"), QStringLiteral("小说"), m_clock.today());
        m_fixture->add(QStringLiteral("笔记5"), QStringLiteral("小说"), m_clock.today());
        m_window->listNode(QStringLiteral("xiaoShuo"));

        auto *search = m_window->findChild<QLineEdit *>(QStringLiteral("searchEdit"));
        QTest::keyClick(m_window, Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(search->hasFocus());
        search->setText(QStringLiteral("搜索"));
        QTRY_COMPARE(field("fileCountField"), QStringLiteral("共列 2 个文件"));
        QCOMPARE(m_window->grid().cellText(1, 1), QStringLiteral("笔记3"));
        QCOMPARE(m_window->grid().cellText(2, 1), QStringLiteral("笔记5"));
        search->clear();
        QTRY_COMPARE(field("fileCountField"), QStringLiteral("共列 14 个文件"));
    }

    // A capture the index could not take (another program held it) is said once, at the next search.
    void searchSaysOnceWhatBecameOfTheIndex()
    {
        QVERIFY(GbkTextFile::write(m_fixture->filePath(QStringLiteral("锁住.txt")), QStringLiteral("锁住时记下的")));
        {
            ForeignConnection other(SearchIndex::pathFor(m_fixture->store().databasePath()));
            QVERIFY(other.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            QVERIFY(m_fixture->store().addFileData({QStringLiteral("锁住"), QStringLiteral("6"), QStringLiteral("小说"),
                                                    m_fixture->folder(), {}},
                                                   m_clock.today(), QStringLiteral("锁住时记下的")));
            QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
        }
        auto *search = m_window->findChild<QLineEdit *>(QStringLiteral("searchEdit"));
        search->setText(QStringLiteral("记下"));
        QTRY_COMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.first().icon, Dialogs::Icon::Information);
        QVERIFY(m_dialogs.messages.first().text.contains(QStringLiteral("filesearch.db")));
        search->setText(QStringLiteral("记下的"));
        QTRY_COMPARE(field("fileCountField"), QStringLiteral("共列 0 个文件"));
        QCOMPARE(m_dialogs.messages.size(), 1);
    }

    // The rebuild scans the folder captures go to: a relative folder below the program folder,
    // and the default folder when none was chosen.
    void rebuildScansTheEffectiveSaveFolder()
    {
        const auto rebuild = [this] {
            m_dialogs.messages.clear();
            m_window->findChild<QAction *>(QStringLiteral("rebuildRecordsAction"))->trigger();
            return QTest::qWaitFor([this] { return !m_dialogs.messages.isEmpty(); }) ? m_dialogs.messages.first().text
                                                                                  : QString();
        };
        const QString relative = m_fixture->filePath(QStringLiteral("相对"));
        QVERIFY(QDir().mkpath(relative));
        m_fixture->add(QStringLiteral("已记录"), QStringLiteral("小说"), m_clock.today(), relative + u'/');
        QVERIFY(GbkTextFile::write(relative + QStringLiteral("/已记录.txt"), QStringLiteral("已记录")));
        QVERIFY(GbkTextFile::write(relative + QStringLiteral("/外来.txt"), QStringLiteral("同步来的")));
        m_settings.saveFolder = QStringLiteral("相对");
        QCOMPARE(rebuild(), QStringLiteral("重建记录完成：新增 1 条记录。\n已有记录的文件 1 个。"));
        QCOMPARE(m_fixture->store().records()->last().fileName, QStringLiteral("外来"));
        QCOMPARE(m_fixture->store().records()->last().folder, relative + u'/');

        const QString defaultFolder = m_fixture->filePath(QStringLiteral("myText"));
        QVERIFY(QDir().mkpath(defaultFolder));
        QVERIFY(GbkTextFile::write(defaultFolder + QStringLiteral("/默认.txt"), QStringLiteral("默认")));
        m_settings.saveFolder = QStringLiteral("txtPATH");
        QCOMPARE(rebuild(), QStringLiteral("重建记录完成：新增 1 条记录。"));
        QCOMPARE(m_fixture->store().records()->last().folder, defaultFolder + u'/');
    }

    // Closing the window stops its rebuild inside a large file, and what was done and left is
    // still told; the popup offers to stop it as well.
    void closingTheWindowStopsTheRebuildAndReports()
    {
        const QString folder = m_fixture->filePath(QStringLiteral("myText"));
        QVERIFY(QDir().mkpath(folder));
        QFile large(folder + QStringLiteral("/大.txt"));
        QVERIFY(large.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, 'a');
        for (int i = 0; i < 64; ++i)
            QCOMPARE(large.write(block), block.size());
        large.close();
        QStringList shown;
        m_window->setShowMessage([&shown](const QString &text) { shown.append(text); });

        m_window->findChild<QAction *>(QStringLiteral("rebuildRecordsAction"))->trigger();
        QVERIFY(m_window->isRebuilding());
        auto *menu = m_window->findChild<QMenu *>(QStringLiteral("recordMenu"));
        Q_EMIT menu->aboutToShow();
        QVERIFY(m_window->findChild<QAction *>(QStringLiteral("stopRebuildAction"))->isEnabled());
        QVERIFY(!m_window->findChild<QAction *>(QStringLiteral("rebuildRecordsAction"))->isEnabled());

        QElapsedTimer closing;
        closing.start();
        m_window->close(); // deletes itself
        QTRY_VERIFY(!m_window);
        qInfo("closed during the rebuild in %lld ms", closing.elapsed());
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().startsWith(QStringLiteral("重建记录已停止：新增 0 条记录。")), qPrintable(shown.first()));
        QVERIFY(shown.first().contains(QStringLiteral("未处理")));
        QCOMPARE(m_fixture->store().records()->size(), 12);
        QVERIFY(m_dialogs.messages.isEmpty());
    }

private:
    QTableView *grid() const { return m_window->findChild<QTableView *>(QStringLiteral("recordGrid")); }
    QString field(const char *name) const
    {
        return m_window->findChild<QLineEdit *>(QString::fromLatin1(name))->text();
    }
    // Sends a mouse event to the middle of the 文件名 cell of a grid row.
    void mouse(QEvent::Type type, int gridRow, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QWidget *viewport = grid()->viewport();
        const QPoint pos = grid()->visualRect(grid()->model()->index(gridRow - 1, 1)).center();
        QMouseEvent event(type, pos, viewport->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }

    std::unique_ptr<HistoryFixture> m_fixture;
    Settings m_settings;
    ProgramFolder m_programFolder{QString()};
    QString m_findFileName;
    FakeClock m_clock;
    RecordingShellOpener m_shell;
    ScriptedDialogs m_dialogs;
    QPointer<HistoryWindow> m_window;
    int m_finderShown = 0;
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
