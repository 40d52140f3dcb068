#include "common/folderpath.h"

#include <QDir>
#include <QTest>

class TestFolderPath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One separator at the end, never two: a root stays a root.
    void endsInExactlyOneSeparator()
    {
        QCOMPARE(FolderPath::withTrailingSlash(QStringLiteral("/a/b")), QStringLiteral("/a/b/"));
        QCOMPARE(FolderPath::withTrailingSlash(QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));
        QCOMPARE(FolderPath::withTrailingSlash(QStringLiteral("/")), QStringLiteral("/"));
        QCOMPARE(FolderPath::withNativeTrailingSeparator(QStringLiteral("/a/b")), QDir::toNativeSeparators(QStringLiteral("/a/b/")));
        QCOMPARE(FolderPath::withNativeTrailingSeparator(QDir::toNativeSeparators(QStringLiteral("/a/b/"))),
                 QDir::toNativeSeparators(QStringLiteral("/a/b/")));
        QCOMPARE(FolderPath::withNativeTrailingSeparator(QStringLiteral("/")), QDir::toNativeSeparators(QStringLiteral("/")));
    }
};

QTEST_GUILESS_MAIN(TestFolderPath)
#include "tst_folderpath.moc"
