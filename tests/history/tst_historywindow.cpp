#include "historyfixture.h"

#include "common/gbktextfile.h"
#include "common/programfolder.h"

#include "common/twips.h"
#include "history/historywindow.h"
#include "history/recordgridmodel.h"
#include "platform/testing/fakeclock.h"
#include "platform/testing/recordingshellopener.h"
#include "platform/testing/scripteddialogs.h"
#include "settings/savefolder.h"
#include "settings/settings.h"
#include "store/searchindex.h"
#include "support/foreignconnection.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
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
        m_finderPatterns.clear();
        m_edited.clear();
        m_shell.opened.clear();
        m_programFolder = ProgramFolder(m_fixture->folder());
        m_window = makeWindow(m_fixture->store());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void cleanup() { delete m_window; }

    // No node chosen yet: the tree with its two folders closed, the grid under its header
    // with no rows, each column as wide as it was designed.
    void opensWithTheTreeAndAnEmptyGrid()
    {
        auto *tree = m_window->findChild<QTreeWidget *>(QStringLiteral("historyTree"));
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem *root = tree->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("虚拟文件夹"));
        QVERIFY(root->isExpanded());
        QCOMPARE(root->childCount(), 2);
        QCOMPARE(root->child(0)->childCount(), 10);
        QCOMPARE(root->child(1)->childCount(), 7);
        QCOMPARE(root->child(0)->child(3)->text(0), QStringLiteral("小说"));
        QCOMPARE(root->child(1)->child(5)->text(0), QStringLiteral("昨天"));
        QVERIFY(!root->child(0)->isExpanded());
        QVERIFY(!tree->currentItem());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("历史记录"));

        QCOMPARE(grid()->model()->rowCount(), 0);
        QHeaderView *header = grid()->horizontalHeader();
        QVERIFY(header->isVisible());
        QStringList titles;
        const int widths[] = {500, 3000, 1000, 1000, 1100, 3000, 4000};
        for (int column = 0; column < header->count(); ++column) {
            titles << grid()->model()->headerData(column, Qt::Horizontal).toString();
            QCOMPARE(header->sectionSize(column), Twips::toPixels(widths[column]));
        }
        QCOMPARE(titles, (QStringList{QString(), QStringLiteral("文件名"), QStringLiteral("大小(字)"), QStringLiteral("类别"),
                                      QStringLiteral("记录时间"), QStringLiteral("存放地址"), QStringLiteral("资料来源")}));
        QCOMPARE(field("fileCountField"), QString());
    }

    // At 100 % the window opens at its designed size, which is also its least; made larger, the
    // grid and the tree take the room while the frames below keep their height.
    void layoutKeepsTheDesignedSizesAndGrows()
    {
        auto *tree = m_window->findChild<QTreeWidget *>(QStringLiteral("historyTree"));
        auto *status = m_window->findChild<QWidget *>(QStringLiteral("statusFrame"));
        auto *banner = m_window->findChild<QWidget *>(QStringLiteral("bannerFrame"));
        QCOMPARE(m_window->size(), Twips::size(10425, 6945));
        QCOMPARE(m_window->minimumSize(), Twips::size(10425, 6945));
        QCOMPARE(tree->geometry(), Twips::rect(15, 0, 2040, 6855));
        QCOMPARE(grid()->geometry(), Twips::rect(2160, 330, 8175, 5085));
        QCOMPARE(status->geometry(), Twips::rect(2160, 5520, 4095, 1335));
        QCOMPARE(banner->geometry(), Twips::rect(6360, 5520, 3975, 1335));
        const auto *fileField = status->findChild<QLineEdit *>(QStringLiteral("fileField"));
        const auto *countField = status->findChild<QLineEdit *>(QStringLiteral("fileCountField"));
        QCOMPARE(fileField->geometry(), Twips::rect(120, 240, 3855, 270));
        QCOMPARE(countField->geometry(), Twips::rect(120, 960, 3855, 270));

        m_window->resize(m_window->size() + QSize(200, 100));
        QTRY_COMPARE(grid()->size(), Twips::size(8175, 5085) + QSize(200, 100));
        QCOMPARE(tree->height(), Twips::toPixels(6855) + 100);
        QCOMPARE(status->height(), Twips::toPixels(1335));
        QCOMPARE(banner->size(), Twips::size(3975, 1335));
        QCOMPARE(banner->geometry().right(), grid()->geometry().right());
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

    // Over a listed row: its number, its name and the count; over the header or below the rows
    // all three are empty.
    void mouseMoveFillsTheStatusFields()
    {
        m_window->listNode(CategoryKey::Novel);
        mouse(QEvent::MouseMove, 5, Qt::NoButton, Qt::NoButton);
        QCOMPARE(field("fileField"), QStringLiteral("当前第 5 个文件"));
        QCOMPARE(field("fileNameField"), QStringLiteral("文件名: 笔记5"));
        QCOMPARE(field("fileCountField"), QStringLiteral("共列 12 个文件"));
        QMouseEvent overHeader(QEvent::MouseMove, QPointF(40, 5), QPointF(40, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(grid()->horizontalHeader(), &overHeader);
        QCOMPARE(field("fileCountField"), QString());
        QCOMPARE(field("fileField"), QString());
        mouse(QEvent::MouseMove, 5, Qt::NoButton, Qt::NoButton);
        QCOMPARE(field("fileField"), QStringLiteral("当前第 5 个文件"));
        const QPoint below(40, grid()->viewport()->height() - 2);
        QVERIFY(grid()->rowAt(below.y()) < 0);
        QMouseEvent belowRows(QEvent::MouseMove, below, grid()->viewport()->mapToGlobal(below), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(grid()->viewport(), &belowRows);
        QCOMPARE(field("fileNameField"), QString());
        QCOMPARE(field("fileCountField"), QString());
    }

    // A drag from row 7 up to row 3 marks 3 to 7; the popup, opened by the right button over
    // row 9, asks for each marked row in order and removes the rows said yes to. The others keep
    // their numbers and the count stays that of the listing.
    void dragMarksRowsAndThePopupDeletesThem()
    {
        m_window->listNode(CategoryKey::Novel);
        mouse(QEvent::MouseButtonPress, 7, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, 5, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, 3, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, 3, Qt::LeftButton, Qt::NoButton);
        rightClick(9);
        auto *popup = m_window->findChild<QMenu *>(QStringLiteral("recordMenu"));
        QTRY_VERIFY(popup->isVisible());
        popup->hide();
        answer(m_dialogs, {Dialogs::Answer::Yes, Dialogs::Answer::No, Dialogs::Answer::No,
                             Dialogs::Answer::No, Dialogs::Answer::Yes});
        m_window->findChild<QAction *>(QStringLiteral("deleteRecordAction"))->trigger();
        QCOMPARE(m_dialogs.messages.size(), 5);
        QCOMPARE(m_dialogs.messages.first().text, QStringLiteral("真的要删除《笔记3》吗？"));
        QCOMPARE(m_dialogs.messages.at(2).text, QStringLiteral("真的要删除《笔记5》吗？"));
        QCOMPARE(m_dialogs.messages.last().text, QStringLiteral("真的要删除《笔记7》吗？"));
        QCOMPARE(shownNames().mid(1, 5), (QStringList{QStringLiteral("笔记2"), QStringLiteral("笔记4"), QStringLiteral("笔记5"),
                                                   QStringLiteral("笔记6"), QStringLiteral("笔记8")}));
        QCOMPARE(text(2, RecordGridModel::Number), QStringLiteral("4"));
        QCOMPARE(grid()->model()->rowCount(), 10);
        QCOMPARE(m_fixture->store().records()->size(), 10);
        QCOMPARE(field("fileCountField"), QStringLiteral("共列 12 个文件"));
        mouse(QEvent::MouseMove, 3, Qt::NoButton, Qt::NoButton);
        QCOMPARE(field("fileField"), QStringLiteral("当前第 4 个文件"));
        QCOMPARE(field("fileCountField"), QStringLiteral("共列 12 个文件"));
    }

    // A plain click marks one row: the popup then acts on the row it was opened over.
    void popupActsOnItsRowAfterAPlainClick()
    {
        m_window->listNode(CategoryKey::Novel);
        mouse(QEvent::MouseButtonPress, 5, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, 5, Qt::LeftButton, Qt::NoButton);
        rightClick(9);
        m_window->findChild<QMenu *>(QStringLiteral("recordMenu"))->hide();
        answer(m_dialogs, {Dialogs::Answer::Yes});
        m_window->findChild<QAction *>(QStringLiteral("deleteRecordAction"))->trigger();
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.first().text, QStringLiteral("真的要删除《笔记9》吗？"));
        QVERIFY(!shownNames().contains(QStringLiteral("笔记9")));

        // Below the rows the popup still opens, for the rebuild, and deletes nothing.
        rightClick(0, QPoint(40, grid()->viewport()->height() - 2));
        m_window->findChild<QMenu *>(QStringLiteral("recordMenu"))->hide();
        m_window->findChild<QAction *>(QStringLiteral("deleteRecordAction"))->trigger();
        QCOMPARE(m_dialogs.messages.size(), 1);
    }

    // Only the keyboard: choose 小说 in the tree, move into the grid, open a record with Enter,
    // delete one with Delete, open its neighbour's source with Enter on its 资料来源 cell.
    void keyboardWalk()
    {
        for (const char *name : {"笔记1", "笔记2", "笔记3"})
            QVERIFY(GbkTextFile::write(m_fixture->filePath(QString::fromUtf8(name) + QStringLiteral(".txt")),
                                       QStringLiteral("床前明月光")));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        auto *tree = m_window->findChild<QTreeWidget *>(QStringLiteral("historyTree"));
        QTRY_VERIFY(grid()->hasFocus());
        QTest::keyClick(grid(), Qt::Key_Tab);
        QVERIFY(tree->hasFocus());
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("虚拟文件夹"));
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down})
            QTest::keyClick(tree, key);
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("小说"));
        QCOMPARE(field("fileCountField"), QStringLiteral("共列 12 个文件"));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(grid()->hasFocus());
        QCOMPARE(grid()->currentIndex().row(), 0);
        QTest::keyClick(grid(), Qt::Key_Down);
        QTest::keyClick(grid(), Qt::Key_Return);
        QCOMPARE(m_edited, QStringList{m_fixture->filePath(QStringLiteral("笔记2.txt"))});
        QTest::keyClick(grid(), Qt::Key_Enter);
        QCOMPARE(m_edited.size(), 2);

        answer(m_dialogs, {Dialogs::Answer::Yes});
        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.first().text, QStringLiteral("真的要删除《笔记2》吗？"));
        QCOMPARE(m_dialogs.messages.first().buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(grid()->model()->rowCount(), 11);
        QCOMPARE(m_fixture->store().records()->size(), 11);
        QCOMPARE(field("fileCountField"), QStringLiteral("共列 12 个文件"));

        QTest::keyClick(grid(), Qt::Key_Up);
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(text(grid()->currentIndex().row(), RecordGridModel::FileName), QStringLiteral("笔记3"));
        // Enter on the 资料来源 cell opens the source, as a double-click there does.
        while (grid()->currentIndex().column() < RecordGridModel::Source)
            QTest::keyClick(grid(), Qt::Key_Right);
        QTest::keyClick(grid(), Qt::Key_Return);
        QCOMPARE(m_edited.size(), 2);
        QCOMPARE(m_shell.opened.size(), 1);
        QVERIFY2(m_shell.opened.first().startsWith(QStringLiteral("https://example.com/笔记3#:~:text=")),
                 qPrintable(m_shell.opened.first()));

        // The Menu key opens the popup at the current row.
        auto *popup = m_window->findChild<QMenu *>(QStringLiteral("recordMenu"));
        QTest::keyClick(grid(), Qt::Key_Menu);
        QTRY_VERIFY(popup->isVisible());
        QVERIFY(popup->geometry().contains(grid()->viewport()->mapToGlobal(
            grid()->visualRect(grid()->currentIndex()).center())));
        QTest::keyClick(popup, Qt::Key_Escape);
        QTRY_VERIFY(!popup->isVisible());

        // Shift+F10 opens the same popup; Escape closes it and leaves the grid as it was.
        QTRY_VERIFY(grid()->hasFocus());
        QTest::keyClick(grid(), Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(popup->isVisible());
        QTest::keyClick(popup, Qt::Key_Escape);
        QTRY_VERIFY(!popup->isVisible());
        QCOMPARE(grid()->model()->rowCount(), 11);
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

    // A double-click on 文件名 opens the file (here gone: the finder looks for it), on
    // 资料来源 the source; elsewhere it does nothing.
    void doubleClickOpensByColumn()
    {
        m_window->listNode(CategoryKey::Novel);
        m_dialogs.answers.enqueue(Dialogs::Answer::Yes);
        doubleClick(2, RecordGridModel::FileName);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_finderPatterns, QStringList{QStringLiteral("笔记2.txt")});
        doubleClick(4, RecordGridModel::Source);
        QCOMPARE(m_shell.opened, QStringList{QStringLiteral("https://example.com/笔记4")});
        for (const int column : {RecordGridModel::Number, RecordGridModel::Size, RecordGridModel::Folder})
            doubleClick(3, column);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_shell.opened.size(), 1);
        QVERIFY(m_edited.isEmpty());
    }

    void listingErrorIsShownInAMessage()
    {
        QTemporaryDir dir;
        RecordStore broken(dir.path());
        const std::unique_ptr<HistoryWindow> window(makeWindow(broken));
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->listNode(Period::Today);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.first().title, QStringLiteral("系统提示："));
        QCOMPARE(m_dialogs.messages.first().icon, Dialogs::Icon::Critical);
        QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("fileCountField"))->text(), QStringLiteral("共列 0 个文件"));
    }

    void searchFieldListsRecordsByTheirText()
    {
        QVERIFY(GbkTextFile::write(m_fixture->filePath(QStringLiteral("笔记3.txt")), QStringLiteral("今天学习全文搜索")));
        QVERIFY(GbkTextFile::write(m_fixture->filePath(QStringLiteral("笔记5.txt")), QStringLiteral("搜索引擎")));
        m_fixture->add(QStringLiteral("笔记3"), QStringLiteral("小说"), m_clock.today());
        m_fixture->add(QStringLiteral("笔记5"), QStringLiteral("小说"), m_clock.today());
        m_window->listNode(CategoryKey::Novel);

        auto *search = m_window->findChild<QLineEdit *>(QStringLiteral("searchEdit"));
        QTest::keyClick(m_window, Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(search->hasFocus());
        search->setText(QStringLiteral("搜索"));
        QTRY_COMPARE(field("fileCountField"), QStringLiteral("共列 2 个文件"));
        QCOMPARE(shownNames(), (QStringList{QStringLiteral("笔记3"), QStringLiteral("笔记5")}));
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
    HistoryWindow *makeWindow(RecordStore &store)
    {
        return new HistoryWindow(
            store, m_clock, m_dialogs, [this] { return SaveFolder::effective(m_settings.saveFolder, m_programFolder); },
            RecordActions({store, m_settings, m_clock, m_shell, m_dialogs,
                           [this](const QString &path) { m_edited.append(path); },
                           [this](const QString &pattern) { m_finderPatterns.append(pattern); }}));
    }
    QTableView *grid() const { return m_window->findChild<QTableView *>(QStringLiteral("recordGrid")); }
    QString field(const char *name) const
    {
        return m_window->findChild<QLineEdit *>(QString::fromLatin1(name))->text();
    }
    QString text(int row, int column) const { return grid()->model()->index(row, column).data().toString(); }
    QStringList shownNames() const
    {
        QStringList names;
        for (int row = 0; row < grid()->model()->rowCount(); ++row)
            names << text(row, RecordGridModel::FileName);
        return names;
    }
    QPoint cellCentre(int listedRow, int column) const
    {
        return grid()->visualRect(grid()->model()->index(listedRow - 1, column)).center();
    }
    // Sends a mouse event to the middle of a cell of a listed row (counted from 1).
    void mouse(QEvent::Type type, int listedRow, Qt::MouseButton button, Qt::MouseButtons buttons,
               int column = RecordGridModel::FileName)
    {
        QWidget *viewport = grid()->viewport();
        const QPoint pos = cellCentre(listedRow, column);
        QMouseEvent event(type, pos, viewport->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    void doubleClick(int listedRow, int column)
    {
        mouse(QEvent::MouseButtonPress, listedRow, Qt::LeftButton, Qt::LeftButton, column);
        mouse(QEvent::MouseButtonRelease, listedRow, Qt::LeftButton, Qt::NoButton, column);
        mouse(QEvent::MouseButtonDblClick, listedRow, Qt::LeftButton, Qt::LeftButton, column);
        mouse(QEvent::MouseButtonRelease, listedRow, Qt::LeftButton, Qt::NoButton, column);
    }
    // The right button over a listed row (or at `at`): press, release and the menu request
    // the window system sends.
    void rightClick(int listedRow, QPoint at = {})
    {
        QWidget *viewport = grid()->viewport();
        const QPoint pos = listedRow > 0 ? cellCentre(listedRow, RecordGridModel::FileName) : at;
        const QPoint global = viewport->mapToGlobal(pos);
        QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &release);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, pos, global);
        QApplication::sendEvent(viewport, &menu);
    }

    std::unique_ptr<HistoryFixture> m_fixture;
    Settings m_settings;
    ProgramFolder m_programFolder{QString()};
    FakeClock m_clock;
    RecordingShellOpener m_shell;
    ScriptedDialogs m_dialogs;
    QPointer<HistoryWindow> m_window;
    QStringList m_finderPatterns;
    QStringList m_edited;
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
