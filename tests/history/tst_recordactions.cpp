#include "historyfixture.h"

#include "common/gbktextfile.h"
#include "history/recordactions.h"
#include "history/textfragment.h"
#include "platform/testing/fakeclock.h"
#include "platform/testing/recordingshellopener.h"
#include "platform/testing/scripteddialogs.h"
#include "settings/settings.h"

#include <QFile>
#include <QUrl>

using namespace Qt::StringLiterals;
using Outcome = RecordActions::OpenOutcome;
using Delete = RecordActions::DeleteOutcome;

class TestRecordActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_fixture = std::make_unique<HistoryFixture>();
        m_dialogs = ScriptedDialogs();
        m_shell.opened.clear();
        m_edited.clear();
        m_finderPatterns.clear();
        m_settings.editor = EditorChoice::Editor::BuiltIn;
        m_actions = std::make_unique<RecordActions>(services());
    }

    // The file is folder + name, with ".txt" added unless the name already ends in ".txt" or
    // ".TXT"; the finder gets the name with the same extension.
    void textExtensionRules()
    {
        m_settings.editor = EditorChoice::Editor::Notepad;
        const QString folder = m_fixture->folder();
        for (const QString &name : {QStringLiteral("abc"), QStringLiteral("abc.txt"), QStringLiteral("abc.TXT"),
                                    QStringLiteral("abc.Txt")}) {
            m_fixture->add(name, QStringLiteral("小说"), m_clock.today());
            QVERIFY(GbkTextFile::write(recordFilePath(folder, name), QStringLiteral("正文")));
        }
        const QList<Record> records = *m_fixture->store().records();
        for (const Record &record : records)
            QCOMPARE(m_actions->openFile(record, nullptr), Outcome::WithShell);
        QCOMPARE(m_shell.opened, (QStringList{folder + QStringLiteral("abc.txt"), folder + QStringLiteral("abc.txt"),
                                              folder + QStringLiteral("abc.TXT"), folder + QStringLiteral("abc.Txt.txt")}));

        answer(m_dialogs, {Dialogs::Answer::Yes, Dialogs::Answer::Yes});
        QCOMPARE(m_actions->openFile(Record{0, QStringLiteral("gone.Txt"), {}, {}, {}, folder, {}}, nullptr), Outcome::FinderShown);
        QCOMPARE(m_actions->openFile(Record{}, nullptr), Outcome::FinderShown);
        QCOMPARE(m_finderPatterns, (QStringList{QStringLiteral("gone.Txt.txt"), QStringLiteral(".txt")}));
    }

    void opensInTheChosenEditor()
    {
        const Record record = listed({QStringLiteral("abc")}).at(0);
        const QString path = m_fixture->filePath(QStringLiteral("abc.txt"));
        QVERIFY(GbkTextFile::write(path, QStringLiteral("正文")));

        QCOMPARE(m_actions->openFile(record, nullptr), Outcome::InEditor);
        QCOMPARE(m_edited, QStringList{path});

        m_settings.editor = EditorChoice::Editor::Notepad;
        QCOMPARE(m_actions->openFile(record, nullptr), Outcome::WithShell);
        QCOMPARE(m_shell.opened, QStringList{path});

        // No editor chosen yet (a fresh install), or a text that names none: the built-in editor.
        for (const QString &choice : {QStringLiteral("txtPATH"), QString(), QStringLiteral("其它编辑器")}) {
            m_settings.editor = EditorChoice::parse(choice);
            QCOMPARE(m_actions->openFile(record, nullptr), Outcome::InEditor);
            QCOMPARE(m_edited.last(), path);
        }
        QCOMPARE(m_shell.opened.size(), 1);
        QVERIFY(m_dialogs.messages.isEmpty());

        // Without a built-in editor to reach, the user is told instead of nothing happening.
        RecordActions::Services withoutEditor = services();
        withoutEditor.openInEditor = {};
        QCOMPARE(RecordActions(withoutEditor).openFile(record, nullptr), Outcome::Failed);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(m_dialogs.messages.first().text.startsWith(QStringLiteral("打开文件失败！")));
    }

    void textFragmentNamesTheQuote_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("quote");
        QTest::addColumn<QString>("expected");
        const QString page = QStringLiteral("https://a.example/p");
        QTest::newRow("short, punctuation") << page << u"  Hello, world -- & more\n"_s
                                            << page + u"#:~:text=Hello%2C%20world%20%2D%2D%20%26%20more"_s;
        QTest::newRow("one character") << page << u"字"_s << page + u"#:~:text=%E5%AD%97"_s;
        QTest::newRow("blank") << page << u" \n "_s << page;
        QTest::newRow("not web") << u"ftp://a.example/f"_s << u"text"_s << u"ftp://a.example/f"_s;
        QTest::newRow("existing fragment") << page + u"#part"_s << u"ok"_s << page + u"#part:~:text=ok"_s;
        QTest::newRow("existing directive") << page + u"#:~:text=a"_s << u"ok"_s << page + u"#:~:text=a&text=ok"_s;
        QTest::newRow("long latin") << page
                                    << u"The quick brown fox jumps over the lazy dog and keeps running far away "
                                       u"until the sun goes down over the quiet hills"_s
                                    << page + u"#:~:text=The%20quick%20brown%20fox,over%20the%20quiet%20hills"_s;
        // Longer than any page would quote: still a short address, by its first and last characters.
        QTest::newRow("long chinese") << page << QString(QStringLiteral("春眠不觉晓处处闻啼鸟")).repeated(500) + u"终"_s
                                      << page + u"#:~:text="_s + QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("春眠不觉晓处处闻啼鸟")))
                                             + u',' + QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("眠不觉晓处处闻啼鸟终")));
    }

    void textFragmentNamesTheQuote()
    {
        QFETCH(QString, address);
        QFETCH(QString, quote);
        QFETCH(QString, expected);
        QCOMPARE(TextFragment::addressAt(address, quote), expected);
    }

    // The shell gets the address with the quote; the stored source stays as it was.
    void webSourceOpensAtTheQuote()
    {
        const QList<Record> records = listed({QStringLiteral("引文"), QStringLiteral("丢失")});
        QVERIFY(GbkTextFile::write(m_fixture->filePath(QStringLiteral("引文.txt")), QStringLiteral("床前明月光")));
        m_actions->openSource(records.at(0), nullptr);
        m_actions->openSource(records.at(1), nullptr);
        QCOMPARE(m_shell.opened,
                 (QStringList{QStringLiteral("https://example.com/引文#:~:text=%E5%BA%8A%E5%89%8D%E6%98%8E%E6%9C%88%E5%85%89"),
                              QStringLiteral("https://example.com/丢失")}));
        QCOMPARE(m_fixture->store().records()->first().source, QStringLiteral("https://example.com/引文"));
    }

    // The RTF copy is written beside the record's file from the file itself.
    void convertAndOpenWritesRtfBesideTheFile()
    {
        m_clock.set(QDateTime(QDate(2026, 3, 7), QTime(10, 0)));
        const Record record = listed({QStringLiteral("会议记录")}).at(0);
        QVERIFY(GbkTextFile::write(m_fixture->filePath(QStringLiteral("会议记录.txt")), QStringLiteral("第一行\n第二行")));

        for (const auto &[choice, extension] : {std::pair{"使用WPS", "wps"}, std::pair{"使用Doc", "doc"}}) {
            m_settings.editor = EditorChoice::parse(QString::fromUtf8(choice));
            QCOMPARE(m_actions->openFile(record, nullptr), Outcome::Converted);
            const QString copy = m_fixture->filePath(QStringLiteral("会议记录7.") + QString::fromLatin1(extension));
            QCOMPARE(m_shell.opened.last(), copy);
            QFile file(copy);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray rtf = file.readAll();
            QVERIFY(rtf.startsWith("{\\rtf"));
            QVERIFY(rtf.contains("\\par"));
        }
    }

    void sourceOpensOnlyAnAddress()
    {
        QVERIFY(m_fixture->store().addFileData({QStringLiteral("编辑器"), QStringLiteral("1"), QStringLiteral("小说"),
                                                m_fixture->folder(), QStringLiteral("Notavo")}, m_clock.today()));
        const QList<Record> records = listed({QStringLiteral("abc")});
        m_actions->openSource(records.at(0), nullptr);
        m_actions->openSource(records.at(1), nullptr);
        QCOMPARE(m_shell.opened, QStringList{QStringLiteral("https://example.com/abc")});
        QCOMPARE(m_dialogs.messages.size(), 1);  // "Notavo" is neither an address nor a file
    }

    void missingFileOffersTheFinder()
    {
        const QList<Record> records = listed({QStringLiteral("gone"), QStringLiteral("gone.TXT")});
        m_dialogs.answers.enqueue(Dialogs::Answer::No);
        QCOMPARE(m_actions->openFile(records.at(0), nullptr), Outcome::MissingDeclined);
        QVERIFY(m_finderPatterns.isEmpty());
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.at(0).title, QStringLiteral("系统提示："));
        QCOMPARE(m_dialogs.messages.at(0).text, QStringLiteral("打开文件出错,可能是该文件已经被移走....是否现在查找？"));
        QCOMPARE(m_dialogs.messages.at(0).icon, Dialogs::Icon::Critical);

        answer(m_dialogs, {Dialogs::Answer::Yes, Dialogs::Answer::Yes});
        QCOMPARE(m_actions->openFile(records.at(0), nullptr), Outcome::FinderShown);
        QCOMPARE(m_actions->openFile(records.at(1), nullptr), Outcome::FinderShown);
        QCOMPARE(m_finderPatterns, (QStringList{QStringLiteral("gone.txt"), QStringLiteral("gone.TXT")}));
        QVERIFY(m_edited.isEmpty());
    }

    // Two records share a name: the chosen one goes, not the first of that name; the file stays.
    void deletesTheChosenRecordAmongDuplicates()
    {
        const QList<Record> records = listed({QStringLiteral("dup"), QStringLiteral("dup"), QStringLiteral("other")});
        const QString chosenFile = m_fixture->filePath(QStringLiteral("dup.txt"));
        QVERIFY(GbkTextFile::write(chosenFile, QStringLiteral("x")));

        answer(m_dialogs, {Dialogs::Answer::No, Dialogs::Answer::Yes});
        QCOMPARE(m_actions->deleteRecord(records.at(1), nullptr), Delete::Declined);
        QCOMPARE(m_fixture->store().records()->size(), 3);
        QCOMPARE(m_actions->deleteRecord(records.at(1), nullptr), Delete::Deleted);
        QCOMPARE(m_dialogs.messages.size(), 2);
        QCOMPARE(m_dialogs.messages.at(0).text, QStringLiteral("真的要删除《dup》吗？"));
        QCOMPARE(m_dialogs.messages.at(0).icon, Dialogs::Icon::Exclamation);
        QCOMPARE(m_dialogs.messages.at(0).buttons, Dialogs::Buttons::YesNo);
        const QList<Record> left = *m_fixture->store().records();
        QCOMPARE(left.size(), 2);
        QCOMPARE(left.at(0).rowId, records.at(0).rowId);
        QCOMPARE(left.at(1).rowId, records.at(2).rowId);
        QVERIFY(QFile::exists(chosenFile));
    }

    void deleteReportsADatabaseError()
    {
        const Record record = listed({QStringLiteral("a")}).at(0);
        QTemporaryDir dir;
        RecordStore broken(dir.path());
        RecordActions actions({broken, m_settings, m_clock, m_shell, m_dialogs, {}, {}});
        m_dialogs.answers.enqueue(Dialogs::Answer::Yes);
        QCOMPARE(actions.deleteRecord(record, nullptr), Delete::Failed);
        QCOMPARE(m_dialogs.messages.size(), 2);
        QCOMPARE(m_dialogs.messages.at(1).title, QStringLiteral("系统提示："));
        QCOMPARE(m_dialogs.messages.at(1).icon, Dialogs::Icon::Critical);
        QCOMPARE(m_fixture->store().records()->size(), 1);
    }

private:
    RecordActions::Services services()
    {
        return {m_fixture->store(), m_settings, m_clock, m_shell, m_dialogs,
                [this](const QString &path) { m_edited.append(path); },
                [this](const QString &pattern) { m_finderPatterns.append(pattern); }};
    }

    // Adds records of these names and gives back every stored record.
    QList<Record> listed(const QStringList &names)
    {
        for (const QString &name : names)
            m_fixture->add(name, QStringLiteral("小说"), m_clock.today());
        return *m_fixture->store().records();
    }

    std::unique_ptr<HistoryFixture> m_fixture;
    Settings m_settings;
    FakeClock m_clock;
    RecordingShellOpener m_shell;
    ScriptedDialogs m_dialogs;
    QStringList m_edited;
    QStringList m_finderPatterns;
    std::unique_ptr<RecordActions> m_actions;
};

QTEST_GUILESS_MAIN(TestRecordActions)
#include "tst_recordactions.moc"
