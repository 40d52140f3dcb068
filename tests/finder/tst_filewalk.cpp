#include "finder/filewalk.h"
#include "finder/findertext.h"
#include "finder/wildcardmatcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

namespace {

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QStringList walkAll(const QString &root, const QString &pattern)
{
    FileWalk walk(root, pattern);
    QStringList found;
    // Small steps, so the slices meet folder boundaries at many points.
    while (walk.step(3))
        found += walk.takeNewMatches();
    found += walk.takeNewMatches();
    return found;
}

} // namespace

class TestFileWalk : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_root = m_dir->path() + u'/';
        QDir dir(m_dir->path());
        for (const char *folder : {"sub", "sub/deep", ".hidden", ".hidden/inner", "笔记", "folder.txt"})
            QVERIFY(dir.mkpath(QString::fromUtf8(folder)));
        for (const char *file : {"a.TXT", "b.txt", "c.doc", "sub/c.Txt", "sub/deep/d.txt", ".hidden/e.txt",
                                 ".hidden/inner/f.txt", ".dotfile.txt", "笔记/记录1.txt", "笔记/記錄.TXT"})
            touch(m_root + QString::fromUtf8(file));
        // A link back to the root: followed, it would never end.
        QVERIFY(QFile::link(m_dir->path(), m_root + QStringLiteral("loop")));
        QVERIFY(QFile::link(m_root + QStringLiteral("sub"), m_root + QStringLiteral("linked.txt")));
    }

    void cleanup()
    {
        QFile::setPermissions(m_root + QStringLiteral("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_dir.reset();
    }

    void matchesWildcardsIgnoringCase_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("extension case") << "*.txt" << "README.TXT" << true;
        QTest::newRow("other extension") << "*.txt" << "notes.txt.bak" << false;
        QTest::newRow("question mark") << "a?c.txt" << "ABC.txt" << true;
        QTest::newRow("question mark is one character") << "a?c.txt" << "ac.txt" << false;
        QTest::newRow("question mark takes a CJK character") << "记录?.txt" << "记录一.txt" << true;
        QTest::newRow("exact CJK name") << "记录1.txt" << "记录1.TXT" << true;
        QTest::newRow("star-dot-star takes names without a dot") << "*.*" << "Makefile" << true;
        QTest::newRow("star-dot-star takes the dot entries") << "*.*" << ".." << true;
        QTest::newRow("name-dot-star takes the bare name") << "readme.*" << "README" << true;
        QTest::newRow("stars backtrack") << "*a*b*c" << "xaxbxbxc" << true;
        QTest::newRow("stars fail cleanly") << "*a*b*c" << "xaxbxbx" << false;
        QTest::newRow("non-ASCII case") << "ÄRGER.txt" << "ärger.TXT" << true;
    }

    void matchesWildcardsIgnoringCase()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        const WildcardMatcher matcher(pattern);
        QCOMPARE(matcher.matches(QStringView(name)), matches);
        QCOMPARE(matcher.matches(QByteArrayView(name.toUtf8())), matches);
    }

    // A folder's own matches come before its sub-folders'; dot folders and links to folders
    // are not entered, but names that match are listed, folders and links included.
    void walksDepthFirstWithoutDotFoldersOrLinks()
    {
        const QStringList found = walkAll(m_root, QStringLiteral("*.txt"));
        QStringList expected = {m_root + QStringLiteral("a.TXT"), m_root + QStringLiteral("b.txt"),
                                m_root + QStringLiteral(".dotfile.txt"), m_root + QStringLiteral("folder.txt"),
                                m_root + QStringLiteral("linked.txt"), m_root + QStringLiteral("sub/c.Txt"),
                                m_root + QStringLiteral("sub/deep/d.txt"), m_root + QStringLiteral("笔记/记录1.txt"),
                                m_root + QStringLiteral("笔记/記錄.TXT")};
        QStringList sortedFound = found;
        sortedFound.sort();
        expected.sort();
        QCOMPARE(sortedFound, expected);

        const auto at = [&found](const QString &path) { return found.indexOf(path); };
        QVERIFY(at(m_root + QStringLiteral("b.txt")) < at(m_root + QStringLiteral("sub/c.Txt")));
        QVERIFY(at(m_root + QStringLiteral("a.TXT")) < at(m_root + QStringLiteral("笔记/记录1.txt")));
        QVERIFY(at(m_root + QStringLiteral("sub/c.Txt")) < at(m_root + QStringLiteral("sub/deep/d.txt")));
        // The sub-tree of one folder is finished before the next sibling folder starts.
        const bool subFirst = at(m_root + QStringLiteral("sub/c.Txt")) < at(m_root + QStringLiteral("笔记/记录1.txt"));
        if (subFirst)
            QVERIFY(at(m_root + QStringLiteral("sub/deep/d.txt")) < at(m_root + QStringLiteral("笔记/记录1.txt")));
        else
            QVERIFY(at(m_root + QStringLiteral("笔记/記錄.TXT")) < at(m_root + QStringLiteral("sub/c.Txt")));
    }

    void listsEveryEntryForStarDotStar()
    {
        const QStringList found = walkAll(m_root, QStringLiteral("*.*"));
        QVERIFY(found.contains(m_root + QStringLiteral("sub")));
        QVERIFY(found.contains(m_root + QStringLiteral("sub/.")));
        QVERIFY(found.contains(m_root + QStringLiteral("sub/..")));
        QVERIFY(found.contains(m_root + QStringLiteral(".hidden")));
        QVERIFY(!found.contains(m_root + QStringLiteral(".hidden/e.txt")));
        QVERIFY(!found.contains(m_root + QStringLiteral("loop/a.TXT")));
    }

    void passesOverAFolderItCannotRead()
    {
        if (::geteuid() == 0)
            QSKIP("running as root: folder permissions do not apply");
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("locked")));
        touch(m_root + QStringLiteral("locked/g.txt"));
        QVERIFY(QFile::setPermissions(m_root + QStringLiteral("locked"), QFile::Permissions()));
        const QStringList found = walkAll(m_root, QStringLiteral("*.txt"));
        QVERIFY(!found.contains(m_root + QStringLiteral("locked/g.txt")));
        QVERIFY(found.contains(m_root + QStringLiteral("sub/deep/d.txt")));
    }

    void stopKeepsTheMatchesFoundSoFar()
    {
        FileWalk walk(m_root, QStringLiteral("*.*"));
        // Opens the root and reads one entry, which "*.*" matches.
        QVERIFY(walk.step(2));
        walk.stop();
        QVERIFY(walk.isFinished());
        QVERIFY(!walk.step(100));
        QCOMPARE(walk.takeNewMatches().size(), 1);
        QCOMPARE(walk.takeNewMatches(), QStringList());
    }

    void resultLine()
    {
        QCOMPARE(FinderText::result(QStringLiteral("d:\\"), 0, QStringLiteral("*.mov")),
                 QStringLiteral("在驱动器d:\\上共查找到0个与\"*.mov\"相匹配的文件。"));
        QCOMPARE(FinderText::progress(QStringLiteral("/home/")), QStringLiteral("finding...../home/"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
};

QTEST_GUILESS_MAIN(TestFileWalk)
#include "tst_filewalk.moc"
