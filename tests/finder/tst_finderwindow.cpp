#include "common/twips.h"
#include "finder/finderwindow.h"
#include "platform/testing/recordingshellopener.h"
#include "platform/testing/scripteddialogs.h"
#include "settings/settings.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestFinderWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("a/b")));
        for (const char *name : {"记录1.txt", "a/记录1.TXT", "a/b/other.txt"}) {
            QFile file(m_dir->filePath(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        m_settings.editor = EditorChoice::Editor::BuiltIn;
        m_opened.clear();
        m_dialogs.messages.clear();
        m_window = new FinderWindow(m_settings, QStringLiteral("记录1.txt"), m_shell, m_dialogs,
                                    [this](const QString &path) { m_opened.append(path); });
    }

    void cleanup() { delete m_window; }

    void startsWithTheNameAndThePatterns()
    {
        auto *combo = m_window->findChild<QComboBox *>(QStringLiteral("patternCombo"));
        QCOMPARE(combo->currentText(), QStringLiteral("记录1.txt"));
        QCOMPARE(combo->count(), 8);
        QCOMPARE(combo->itemText(0), QStringLiteral("*.txt"));
        QCOMPARE(combo->itemText(7), QStringLiteral("*.mov"));
        QVERIFY(m_window->findChild<QComboBox *>(QStringLiteral("volumeCombo"))->count() > 0);
        QVERIFY(!button("stopButton")->isEnabled());
        QCOMPARE(label()->text(), QStringLiteral("查找"));
    }

    void volumesAlwaysOfferHomeAndRoot()
    {
        // Inside a chroot the system lists no mounted volume at all.
        const QList<Volume> none = VolumeList::fromMounted({}, QDir::homePath());
        QVERIFY(!none.isEmpty());
        QCOMPARE(none.first().root, QStringLiteral("/"));
        const QString homeRoot = VolumeList::rootOf(QDir::homePath());
        QCOMPARE(none.at(VolumeList::initialIndex(none, QDir::homePath())).root, homeRoot);
        // Listed volumes come once each, with home's and "/" among them.
        const QList<Volume> listed = VolumeList::available(QDir::homePath());
        QStringList roots;
        for (const Volume &volume : listed)
            roots.append(volume.root);
        QVERIFY(roots.contains(QStringLiteral("/")) && roots.contains(homeRoot));
        QCOMPARE(roots.size(), QSet<QString>(roots.cbegin(), roots.cend()).size());
    }

    void searchListsMatchesAndTheResultLine()
    {
        QSignalSpy finished(m_window, &FinderWindow::searchFinished);
        m_window->searchFrom(m_dir->path());
        QVERIFY(button("stopButton")->isEnabled());
        QVERIFY(finished.wait());
        const QString root = m_dir->path() + u'/';
        QCOMPARE(paths(), (QStringList{root + QStringLiteral("记录1.txt"), root + QStringLiteral("a/记录1.TXT")}));
        QCOMPARE(label()->text(), QStringLiteral("在驱动器%1上共查找到2个与\"记录1.txt\"相匹配的文件。").arg(root));
        QVERIFY(!button("stopButton")->isEnabled());
    }

    void stopEndsTheSearchWithTheCountSoFar()
    {
        QSignalSpy finished(m_window, &FinderWindow::searchFinished);
        m_window->searchFrom(m_dir->path());
        button("stopButton")->click();
        QVERIFY(!button("stopButton")->isEnabled());
        QVERIFY(finished.wait());
        QCOMPARE(paths(), QStringList());
        QVERIFY(label()->text().startsWith(QStringLiteral("在驱动器")));
        QVERIFY(label()->text().contains(QStringLiteral("上共查找到0个与\"记录1.txt\"")));
        QVERIFY(!m_window->isSearching());
    }

    void doubleClickOpensInTheChosenEditor()
    {
        QSignalSpy finished(m_window, &FinderWindow::searchFinished);
        m_window->searchFrom(m_dir->path());
        QVERIFY(finished.wait());
        auto *list = m_window->findChild<QListView *>(QStringLiteral("matchList"));
        const QModelIndex first = list->model()->index(0, 0);
        Q_EMIT list->doubleClicked(first);
        QCOMPARE(m_opened, QStringList{first.data().toString()});
        QVERIFY(m_shell.opened.isEmpty());

        m_settings.editor = EditorChoice::Editor::Wps;
        Q_EMIT list->doubleClicked(first);
        QCOMPARE(m_shell.opened, QStringList{first.data().toString()});
        QCOMPARE(m_opened.size(), 1);

        // A found program is never started: the shell is not asked and the user is told why.
        QFile program(m_dir->filePath(QStringLiteral("记录1.txt")));
        QVERIFY(program.setPermissions(program.permissions() | QFile::ExeOwner));
        Q_EMIT list->doubleClicked(first);
        QCOMPARE(m_shell.opened.size(), 1);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.first().title, QStringLiteral("系统提示："));
    }

    // At its designed size everything has its designed place; what the window gains goes to the
    // list, the frames follow its width, and a long result line never widens the window.
    void layoutKeepsTheDesignAndGivesTheGrowthToTheList()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QCOMPARE(m_window->size(), Twips::size(5475, 4905));
        QCOMPARE(m_window->minimumSize(), Twips::size(5475, 4095));
        auto *list = m_window->findChild<QListView *>(QStringLiteral("matchList"));
        auto *names = m_window->findChild<QGroupBox *>(QStringLiteral("patternGroup"));
        auto *buttons = m_window->findChild<QGroupBox *>(QStringLiteral("buttonGroup"));
        QCOMPARE(names->geometry(), Twips::rect(120, 120, 3735, 2055));
        QCOMPARE(buttons->geometry(), Twips::rect(3960, 120, 1455, 2055));
        QCOMPARE(list->geometry().bottomRight(), Twips::rect(120, 2640, 5295, 2160).bottomRight());
        QVERIFY(label()->geometry().bottom() < list->geometry().top());
        QVERIFY(names->geometry().bottom() < label()->geometry().top());
        for (const char *name : {"findButton", "stopButton", "closeButton"})
            QVERIFY(buttons->contentsRect().contains(button(name)->geometry()));

        const QSize listSize = list->size();
        const QRect namesPlace = names->geometry();
        m_window->resize(m_window->size() + QSize(150, 90));
        QTRY_COMPARE(list->size(), listSize + QSize(150, 90));
        QCOMPARE(names->geometry(), namesPlace.adjusted(0, 0, 150, 0));
        QCOMPARE(buttons->geometry().right(), list->geometry().right());

        label()->setText(QString(400, u'长'));
        m_window->resize(m_window->minimumSize());
        QTRY_COMPARE(m_window->size(), Twips::size(5475, 4095));
        QVERIFY(m_window->minimumSizeHint().width() <= m_window->width());
    }

private:
    QPushButton *button(const char *name) const
    {
        return m_window->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    QLabel *label() const { return m_window->findChild<QLabel *>(QStringLiteral("progressLabel")); }
    QStringList paths() const
    {
        const QAbstractItemModel *model = m_window->findChild<QListView *>(QStringLiteral("matchList"))->model();
        QStringList out;
        for (int row = 0; row < model->rowCount(); ++row)
            out.append(model->index(row, 0).data().toString());
        return out;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    Settings m_settings;
    RecordingShellOpener m_shell;
    ScriptedDialogs m_dialogs;
    QStringList m_opened;
    FinderWindow *m_window = nullptr;
};

QTEST_MAIN(TestFinderWindow)
#include "tst_finderwindow.moc"
