#include "capture/pendingcaptures.h"
#include "capture/portablefilename.h"
#include "capture/recordwriter.h"
#include "capture/titlederivation.h"
#include "common/gbkcodec.h"
#include "common/gbktextfile.h"
#include "common/programfolder.h"
#include "platform/testing/fakeclock.h"
#include "platform/testing/recordingshellopener.h"
#include "settings/settings.h"
#include "store/currentrecord.h"
#include "store/recordstore.h"
#include "support/foreignconnection.h"
#include "support/readonlypath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program folder with its own database and save folder, as the running program has them.
struct Fixture
{
    QTemporaryDir dir;
    ProgramFolder folder{dir.path()};
    Settings settings{QStringLiteral("myText"), EditorChoice::Editor::BuiltIn, std::nullopt, false};
    RecordStore store{folder.filePath(QStringLiteral("filelist.db"))};
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9))};
    RecordingShellOpener shell;
    RecordWriter writer{{settings, store, folder, clock, shell}};
    QStringList openedInEditor;

    Fixture()
    {
        writer.setOpenInEditor([this](const QString &path) { openedInEditor << path; });
    }
    // Stores a capture under 小说.
    RecordWriter::Result save(const QString &text, const QString &source)
    {
        return writer.save({text, source, QStringLiteral("小说")});
    }
    QString saveFolder() const { return folder.filePath(QStringLiteral("myText")) + QDir::separator(); }
    QList<Record> rows() { return store.records().value_or(QList<Record>()); }
    QStringList savedFiles() const { return QDir(saveFolder()).entryList(QDir::Files | QDir::Hidden); }
    QString pendingFolder() const { return RecordWriter::pendingFolder(folder); }
    QStringList notes() const { return QDir(pendingFolder()).entryList(QDir::Files | QDir::Hidden); }
    // What the next start does with the notes left.
    PendingCaptures::Completion nextStart()
    {
        RecordStore nextStore(store.databasePath());
        return PendingCaptures(pendingFolder()).completeAll(nextStore);
    }
};

} // namespace

class TestRecordWriter : public QObject
{
    Q_OBJECT

private slots:
    void titleRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::newRow("full-width comma") << QStringLiteral("今天天气很好，我们去公园。") << QStringLiteral("今天天气很好");
        QTest::newRow("space") << QStringLiteral("Hello world") << QStringLiteral("Hello");
        QTest::newRow("15 kept whole") << QStringLiteral("一二三四五六七八九十一二三四五") << QStringLiteral("一二三四五六七八九十一二三四五");
        QTest::newRow("16 shortened") << QStringLiteral("一二三四五六七八九十一二三四五六") << QStringLiteral("一二三四五六七八九十.....");
        QTest::newRow("line break is no stop") << QStringLiteral("ab\ncd!") << QStringLiteral("ab\ncd");
        QTest::newRow("empty") << QString() << QStringLiteral("新记录59");
        QTest::newRow("starts with stop") << QStringLiteral("。后面还有") << QStringLiteral("新记录59");
        QTest::newRow("only stops") << QStringLiteral(",:;.?! ，：；。？！") << QStringLiteral("新记录59");
        QTest::newRow("pair not split") << QStringLiteral("一二三四五六七八九😀十一二三四五六") << QStringLiteral("一二三四五六七八九.....");
    }
    void titleRules()
    {
        QFETCH(QString, text);
        QFETCH(QString, title);
        QCOMPARE(TitleDerivation::titleFor(text, QTime(14, 5, 9)), title);
        QCOMPARE(TitleDerivation::minuteSecond(QTime(14, 35, 42)), QStringLiteral("3542"));
    }

    void portableNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("portable");
        QTest::newRow("cjk") << QStringLiteral("今天天气很好") << true;
        QTest::newRow("dots") << QStringLiteral("一二三四五六七八九十.....") << true;
        for (const char *bad : {"a/b", "a\\b", "a*b", "a\"b", "a<b", "a>b", "a|b", "a\tb", "a\nb", "a\rb"})
            QTest::newRow(bad) << QString::fromLatin1(bad) << false;
        QTest::newRow("CON") << QStringLiteral("CON") << false;
        QTest::newRow("nul lower") << QStringLiteral("nul") << false;
        QTest::newRow("com1.x") << QStringLiteral("COM1.tar") << false;
        QTest::newRow("CONTENT") << QStringLiteral("CONTENT") << true;
    }
    void portableNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, portable);
        QCOMPARE(isPortableFileName(name), portable);
    }

    void storesFileAndRowAndReportsStored()
    {
        Fixture f;
        const QString text = QStringLiteral("今天天气很好，我们去公园。\n第二行😀");
        const auto result = f.save(text, QStringLiteral("http://news.example/1"));
        QCOMPARE(result.outcome, RecordWriter::Outcome::Stored);
        const QString path = f.saveFolder() + QStringLiteral("今天天气很好.txt");
        QCOMPARE(result.filePath, path);
        QCOMPARE(bytesOf(path), Gbk::encode(GbkTextFile::toCrLf(text)));

        const auto rows = f.rows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].fileName, QStringLiteral("今天天气很好"));
        QCOMPARE(rows[0].size, QString::number(text.size() + 1));  // the line break counts two
        QCOMPARE(rows[0].category, QStringLiteral("小说"));
        QCOMPARE(rows[0].date, QDate(2026, 12, 7));
        QCOMPARE(rows[0].folder, f.saveFolder());
        QCOMPARE(rows[0].source, QStringLiteral("http://news.example/1"));
    }

    // Each capture's row holds what that capture was given, whatever was stored before it.
    void eachCaptureStoresItsOwnCategoryAndSource()
    {
        Fixture f;
        QCOMPARE(f.writer.save({QStringLiteral("甲，一"), QStringLiteral("http://a.example/"), QStringLiteral("新闻")})
                     .outcome,
                 RecordWriter::Outcome::Stored);
        QCOMPARE(f.writer.save({QStringLiteral("乙，二"), QString(), QStringLiteral("寓言")}).outcome,
                 RecordWriter::Outcome::Stored);
        const QList<Record> rows = f.rows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].category, QStringLiteral("新闻"));
        QCOMPARE(rows[0].source, QStringLiteral("http://a.example/"));
        QCOMPARE(rows[1].fileName, QStringLiteral("乙"));
        QCOMPARE(rows[1].category, QStringLiteral("寓言"));
        QCOMPARE(rows[1].source, QString());
    }

    void emptyCaptureStoresAnEmptyRecord()
    {
        Fixture f;
        QCOMPARE(f.save(QString(), QString()).outcome, RecordWriter::Outcome::Stored);
        QCOMPARE(bytesOf(f.saveFolder() + QStringLiteral("新记录59.txt")), QByteArray());
        QCOMPARE(f.rows().at(0).size, QStringLiteral("0"));
    }

    void existingFilesAreNeverOverwritten()
    {
        Fixture f;
        QVERIFY(f.save(QStringLiteral("同题，一"), {}).outcome == RecordWriter::Outcome::Stored);
        QVERIFY(f.save(QStringLiteral("同题，二"), {}).outcome == RecordWriter::Outcome::Stored);
        QVERIFY(f.save(QStringLiteral("同题，三"), {}).outcome == RecordWriter::Outcome::Stored);
        const auto rows = f.rows();
        QCOMPARE(rows[0].fileName, QStringLiteral("同题"));
        QCOMPARE(rows[1].fileName, QStringLiteral("同题59"));  // minute and second
        QCOMPARE(rows[2].fileName, QStringLiteral("同题59(2)"));
        QCOMPARE(GbkTextFile::read(f.saveFolder() + QStringLiteral("同题.txt")), QStringLiteral("同题，一"));
        QCOMPARE(GbkTextFile::read(f.saveFolder() + QStringLiteral("同题59.txt")), QStringLiteral("同题，二"));
        QCOMPARE(GbkTextFile::read(f.saveFolder() + QStringLiteral("同题59(2).txt")), QStringLiteral("同题，三"));
    }

    void refusedTitleFallsBackToNewRecordAndDay()
    {
        Fixture f;
        for (const QString &text : {QStringLiteral("上级/目录/文件"), QStringLiteral("a|b"), QStringLiteral("CON")}) {
            const auto result = f.save(text, {});
            QCOMPARE(result.outcome, RecordWriter::Outcome::StoredUnderFallbackName);
        }
        const auto rows = f.rows();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].fileName, QStringLiteral("新记录7"));
        QCOMPARE(rows[1].fileName, QStringLiteral("新记录7(2)"));
        QCOMPARE(GbkTextFile::read(f.saveFolder() + QStringLiteral("新记录7.txt")), QStringLiteral("上级/目录/文件"));
        QCOMPARE(QDir(f.saveFolder()).entryList(QDir::Files).size(), 3);
        QVERIFY(f.openedInEditor.isEmpty());
    }

    void missingAndRelativeSaveFoldersAreCreatedBelowTheProgramFolder()
    {
        Fixture f;
        f.settings.saveFolder = QStringLiteral("深/层/文件夹");
        QCOMPARE(f.save(QStringLiteral("内容"), {}).outcome, RecordWriter::Outcome::Stored);
        QVERIFY(QFile::exists(f.folder.filePath(QStringLiteral("深/层/文件夹/内容.txt"))));
    }

    void noChosenFolderMeansMyTextInTheProgramFolder()
    {
        for (const QString &stored : {QStringLiteral("txtPATH"), QString(), QStringLiteral("  ")}) {
            Fixture f;
            f.settings.saveFolder = stored;
            QCOMPARE(f.save(QStringLiteral("内容"), {}).outcome, RecordWriter::Outcome::Stored);
            QCOMPARE(f.savedFiles(), QStringList{QStringLiteral("内容.txt")});
            QCOMPARE(f.rows().at(0).folder, f.saveFolder());
            QVERIFY(!QFileInfo::exists(f.folder.filePath(QStringLiteral("txtPATH"))));
        }
    }

    // A file that cannot be written adds no row; the message names the title of the text and the
    // cause, never a fallback name that was not asked for.
    void failedWriteAddsNoRow()
    {
        Fixture f;
        QFile blocker(f.folder.filePath(QStringLiteral("file-not-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        f.settings.saveFolder = blocker.fileName();
        auto result = f.save(QStringLiteral("标题，正文"), {});
        QCOMPARE(result.outcome, RecordWriter::Outcome::Failed);
        QVERIFY2(result.error.contains(QStringLiteral("“标题”")) && result.error.contains(QStringLiteral("不是文件夹")),
                 qPrintable(result.error));

        f.settings.saveFolder = QStringLiteral("myText");
        QVERIFY(QDir().mkpath(f.saveFolder()));
        const ReadOnlyPath readOnly(f.saveFolder());
        if (!readOnly.holds())
            QSKIP("the save folder cannot be made read-only here");
        result = f.save(QStringLiteral("标题，正文"), {});
        QCOMPARE(result.outcome, RecordWriter::Outcome::Failed);
        QVERIFY2(result.error.contains(QStringLiteral("标题.txt")), qPrintable(result.error));
        QVERIFY(!result.error.contains(QStringLiteral("新记录")));
        QVERIFY(f.rows().isEmpty());
        QVERIFY(f.savedFiles().isEmpty());
    }

    // A row that cannot be added takes its file with it, however often the user tries again.
    void failedRowLeavesNoFile_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("cause");
        QTest::newRow("not a database") << QStringLiteral("garbage") << QStringLiteral("不是数据库");
        QTest::newRow("missing column") << QStringLiteral("missing column") << QStringLiteral("不是预期的格式");
        QTest::newRow("locked") << QStringLiteral("locked") << QStringLiteral("锁定");
        QTest::newRow("read-only") << QStringLiteral("read-only") << QStringLiteral("只读");
    }
    void failedRowLeavesNoFile()
    {
        QFETCH(QString, damage);
        QFETCH(QString, cause);
        Fixture f;
        const QString db = f.store.databasePath();
        std::optional<ForeignConnection> foreign;
        std::optional<ReadOnlyPath> readOnly;
        if (damage == QStringLiteral("garbage")) {
            QFile file(db);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(2048, 'x'));
        } else if (damage == QStringLiteral("missing column")) {
            foreign.emplace(db);
            QVERIFY(foreign->exec(QStringLiteral("CREATE TABLE filedata (\"文件名\", \"大小\", \"类别\", \"记录时间\", \"存放地址\")")));
        } else if (damage == QStringLiteral("locked")) {
            QVERIFY(RecordStore(db).records().has_value());
            foreign.emplace(db);
            QVERIFY(foreign->exec(QStringLiteral("BEGIN EXCLUSIVE")));
        } else {
            QVERIFY(RecordStore(db).records().has_value());
            readOnly.emplace(db);
            if (!readOnly->holds())
                QSKIP("the database cannot be made read-only here");
        }
        for (int attempt = 0; attempt < 3; ++attempt) {
            const auto result = f.save(QStringLiteral("内容，正文"), {});
            QCOMPARE(result.outcome, RecordWriter::Outcome::Failed);
            QVERIFY2(result.error.contains(QStringLiteral("“内容”")) && result.error.contains(cause)
                         && result.error.contains(QDir::toNativeSeparators(db)),
                     qPrintable(result.error));
            QVERIFY(f.savedFiles().isEmpty());
        }
        QVERIFY(f.openedInEditor.isEmpty());
    }

    void opensInTheChosenEditorOnlyWhenAskedExactly_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("flag");
        QTest::addColumn<QStringList>("editor");
        QTest::addColumn<QStringList>("shell");
        const QString txt = QStringLiteral("标题.txt");
        QTest::newRow("off") << QStringLiteral("Notavo") << QStringLiteral("FALSE") << QStringList() << QStringList();
        QTest::newRow("lower-case true") << QStringLiteral("使用记事本") << QStringLiteral("true") << QStringList() << QStringList();
        QTest::newRow("built-in") << QStringLiteral("Notavo") << QStringLiteral("TRUE") << QStringList{txt} << QStringList();
        QTest::newRow("notepad") << QStringLiteral("使用记事本") << QStringLiteral("TRUE") << QStringList() << QStringList{txt};
        QTest::newRow("wps") << QStringLiteral("使用WPS") << QStringLiteral("TRUE") << QStringList() << QStringList{QStringLiteral("标题.wps")};
        QTest::newRow("word") << QStringLiteral("使用Doc") << QStringLiteral("TRUE") << QStringList() << QStringList{QStringLiteral("标题.doc")};
        // A choice that names no editor opens the built-in one rather than nothing.
        QTest::newRow("ends like Notavo") << QStringLiteral("xNotavo") << QStringLiteral("TRUE") << QStringList{txt} << QStringList();
        QTest::newRow("default") << QStringLiteral("txtPATH") << QStringLiteral("TRUE") << QStringList{txt} << QStringList();
    }
    void opensInTheChosenEditorOnlyWhenAskedExactly()
    {
        QFETCH(QString, choice);
        QFETCH(QString, flag);
        QFETCH(QStringList, editor);
        QFETCH(QStringList, shell);
        Fixture f;
        f.settings.editor = EditorChoice::parse(choice);
        f.settings.autoOpen = EditorChoice::isAutoOpenOn(flag);
        QCOMPARE(f.save(QStringLiteral("标题。正文"), {}).outcome, RecordWriter::Outcome::Stored);
        const auto withFolder = [&f](QStringList names) {
            for (QString &name : names)
                name.prepend(f.saveFolder());
            return names;
        };
        QCOMPARE(f.openedInEditor, withFolder(editor));
        QCOMPARE(f.shell.opened, withFolder(shell));
        QCOMPARE(f.rows().size(), 1);  // the rich-text copy is never recorded
    }

    // A capture cut off between its file and its row (a kill there) is completed at the next start
    // with its own category, source and day, never as a 默认文本 row of a rebuild.
    void interruptedCaptureIsCompletedAtTheNextStart()
    {
        Fixture f;
        const QString source = QStringLiteral("https://example.com/a?b=c\\d");
        f.writer.setFileWrittenHook([] { return false; });
        QCOMPARE(f.save(QStringLiteral("中断的记录，正文€"), source).outcome, RecordWriter::Outcome::Failed);
        QCOMPARE(f.savedFiles(), QStringList{QStringLiteral("中断的记录.txt")});
        QVERIFY(f.rows().isEmpty());
        QCOMPARE(f.notes().size(), 1);

        f.clock.set(QDateTime(QDate(2026, 12, 9), QTime(8, 0)));
        const PendingCaptures::Completion completion = f.nextStart();
        QCOMPARE(completion.completed, QStringList{QStringLiteral("中断的记录")});
        QVERIFY(completion.problems.isEmpty());
        const QList<Record> rows = f.rows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].fileName, QStringLiteral("中断的记录"));
        QCOMPARE(rows[0].category, QStringLiteral("小说"));
        QCOMPARE(rows[0].source, source);
        QCOMPARE(rows[0].date, QDate(2026, 12, 7));
        QCOMPARE(rows[0].size, QStringLiteral("9"));
        QCOMPARE(rows[0].folder, f.saveFolder());
        QVERIFY(f.notes().isEmpty());
        // A start after that finds nothing more to do.
        QVERIFY(f.nextStart().completed.isEmpty());
        QCOMPARE(f.rows().size(), 1);
    }

    // Cut off before its file was written: the note holds the text, so nothing is lost. Cut off
    // after its row: the note is only removed.
    void noteCompletesAMissingFileAndNeverDuplicatesARow()
    {
        Fixture f;
        const PendingCaptures pending(f.pendingFolder());
        const QByteArray bytes = GbkTextFile::bytesOf(QStringLiteral("第一行\n第二行"));
        const CurrentRecord unwritten{QStringLiteral("未写"), QStringLiteral("8"), QStringLiteral("新闻"),
                                      f.saveFolder(), QStringLiteral("来源\n第二行")};
        QVERIFY(!pending.add({unwritten, QDate(2026, 12, 1), bytes}).isEmpty());
        QCOMPARE(f.save(QStringLiteral("已存"), {}).outcome, RecordWriter::Outcome::Stored);
        QCOMPARE(f.notes().size(), 1); // a stored capture leaves no note of its own
        const Record row = f.rows().at(0);
        const CurrentRecord stored{row.fileName, row.size, row.category, row.folder, row.source};
        QVERIFY(!pending.add({stored, QDate(2026, 12, 7), QByteArray()}).isEmpty());
        // A note cut off while it was written is no note.
        QFile part(f.pendingFolder() + QStringLiteral("/x.part"));
        QVERIFY(part.open(QIODevice::WriteOnly));
        part.close();

        const PendingCaptures::Completion completion = f.nextStart();
        QCOMPARE(completion.completed, QStringList{QStringLiteral("未写")});
        QCOMPARE(bytesOf(f.saveFolder() + QStringLiteral("未写.txt")), bytes);
        const QList<Record> rows = f.rows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[1].category, QStringLiteral("新闻"));
        QCOMPARE(rows[1].source, QStringLiteral("来源\n第二行"));
        QVERIFY(f.notes().isEmpty());
    }

    void damagedNoteIsReportedAndKept()
    {
        Fixture f;
        QVERIFY(QDir().mkpath(f.pendingFolder()));
        QFile note(f.pendingFolder() + QStringLiteral("/1.note"));
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.write("Notavo pending capture 1\r\nname=x\r\n");
        note.close();
        const PendingCaptures::Completion completion = f.nextStart();
        QVERIFY(completion.completed.isEmpty());
        QCOMPARE(completion.problems.size(), 1);
        QVERIFY(completion.problems.first().contains(QStringLiteral("已损坏")));
        QCOMPARE(f.notes(), QStringList{QStringLiteral("1.note")});
    }
};

QTEST_GUILESS_MAIN(TestRecordWriter)
#include "tst_recordwriter.moc"
