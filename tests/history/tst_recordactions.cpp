#include "historyfixture.h"

#include "common/gbktextfile.h"
#include "history/recordactions.h"
#include "history/recordgridmodel.h"
#include "history/textfragment.h"
#include "platform/testing/fakeclock.h"
#include "platform/testing/recordingshellopener.h"
#include "platform/testing/scripteddialogs.h"
#include "settings/settings.h"

#include <QFile>
#include <QUrl>

using Outcome = RecordActions::OpenOutcome;

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
        m_finderShown = 0;
        m_findFileName.clear();
        m_settings.editor = EditorChoice::Editor::BuiltIn;
        m_actions = std::make_unique<RecordActions>(RecordActions::Context{
            m_fixture->store(), m_settings, m_findFileName, m_clock, m_shell, m_dialogs,
            [this](const QString &path) { m_edited.append(path); }, [this] { ++m_finderShown; }});
    }

    void textExtensionRules()
    {
        QCOMPARE(RecordActions::filePath(QStringLiteral("D:/notes/"), QStringLiteral("abc")), QStringLiteral("D:/notes/abc.txt"));
        QCOMPARE(RecordActions::filePath(QStringLiteral("/n/"), QStringLiteral("abc.txt")), QStringLiteral("/n/abc.txt"));
        QCOMPARE(RecordActions::filePath(QStringLiteral("/n/"), QStringLiteral("abc.TXT")), QStringLiteral("/n/abc.TXT"));
        QCOMPARE(RecordActions::filePath(QStringLiteral("/n/"), QStringLiteral("abc.Txt")), QStringLiteral("/n/abc.Txt.txt"));
        QCOMPARE(RecordActions::filePath(QString(), QString()), QStringLiteral(".txt"));
        QCOMPARE(RecordActions::convertedPath(QStringLiteral("/n/会议记录.txt"), 7, QStringLiteral(".wps")),
                 QStringLiteral("/n/会议记录7.wps"));
    }

    void opensInTheChosenEditor()
    {
        const RecordGridModel &model = listed({QStringLiteral("abc")});
        const QString path = m_fixture->filePath(QStringLiteral("abc.txt"));
        QVERIFY(GbkTextFile::write(path, QStringLiteral("正文")));

        QCOMPARE(m_actions->openFile(model, 1, nullptr), Outcome::InEditor);
        QCOMPARE(m_edited, QStringList{path});

        m_settings.editor = EditorChoice::Editor::Notepad;
        QCOMPARE(m_actions->openFile(model, 1, nullptr), Outcome::WithShell);
        QCOMPARE(m_shell.opened, QStringList{path});

        // No editor chosen yet (a fresh install), or a text that names none: the built-in editor.
        for (const QString &choice : {QStringLiteral("txtPATH"), QString(), QStringLiteral("其它编辑器")}) {
            m_settings.editor = EditorChoice::parse(choice);
            QCOMPARE(m_actions->openFile(model, 1, nullptr), Outcome::InEditor);
            QCOMPARE(m_edited.last(), path);
        }
        QCOMPARE(m_shell.opened.size(), 1);
        QVERIFY(m_dialogs.messages.isEmpty());

        // Without a built-in editor to reach, the user is told instead of nothing happening.
        RecordActions withoutEditor({m_fixture->store(), m_settings, m_findFileName, m_clock, m_shell, m_dialogs, {},
                                     [this] { ++m_finderShown; }});
        QCOMPARE(withoutEditor.openFile(model, 1, nullptr), Outcome::Failed);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(m_dialogs.messages.first().text.startsWith(QStringLiteral("打开文件失败！")));
    }

    void textFragmentNamesTheQuote_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("quote");
        QTest::addColumn<QString>("expected");
        const QString page = QStringLiteral("https://a.example/p");
        QTest::newRow("short, punctuation") << page << "  Hello, world -- & more\n"
                                            << page + "#:~:text=Hello%2C%20world%20%2D%2D%20%26%20more";
        QTest::newRow("one character") << page << "字" << page + "#:~:text=%E5%AD%97";
        QTest::newRow("blank") << page << " \n " << page;
        QTest::newRow("not web") << "ftp://a.example/f" << "text" << "ftp://a.example/f";
        QTest::newRow("existing fragment") << page + "#part" << "ok" << page + "#part:~:text=ok";
        QTest::newRow("existing directive") << page + "#:~:text=a" << "ok" << page + "#:~:text=a&text=ok";
        QTest::newRow("long latin") << page
                                    << "The quick brown fox jumps over the lazy dog and keeps running far away "
                                       "until the sun goes down over the quiet hills"
                                    << page + "#:~:text=The%20quick%20brown%20fox,over%20the%20quiet%20hills";
        // Longer than any page would quote: still a short address, by its first and last characters.
        QTest::newRow("long chinese") << page << QString(QStringLiteral("春眠不觉晓处处闻啼鸟")).repeated(500) + "终"
                                      << page + "#:~:text=" + QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("春眠不觉晓处处闻啼鸟")))
                                             + "," + QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("眠不觉晓处处闻啼鸟终")));
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
        RecordGridModel &model = listed({QStringLiteral("引文"), QStringLiteral("丢失")});
        QVERIFY(GbkTextFile::write(m_fixture->filePath(QStringLiteral("引文.txt")), QStringLiteral("床前明月光")));
        m_actions->openSource(model, 1, nullptr);
        m_actions->openSource(model, 2, nullptr);
        QCOMPARE(m_shell.opened,
                 (QStringList{QStringLiteral("https://example.com/引文#:~:text=%E5%BA%8A%E5%89%8D%E6%98%8E%E6%9C%88%E5%85%89"),
                              QStringLiteral("https://example.com/丢失")}));
        QCOMPARE(m_fixture->store().records()->first().source, QStringLiteral("https://example.com/引文"));
    }

    // The RTF copy is written beside the record's file from the file itself.
    void convertAndOpenWritesRtfBesideTheFile()
    {
        m_clock.set(QDateTime(QDate(2026, 3, 7), QTime(10, 0)));
        const RecordGridModel &model = listed({QStringLiteral("会议记录")});
        QVERIFY(GbkTextFile::write(m_fixture->filePath(QStringLiteral("会议记录.txt")), QStringLiteral("第一行\n第二行")));

        for (const auto &[choice, extension] : {std::pair{"使用WPS", "wps"}, std::pair{"使用Doc", "doc"}}) {
            m_settings.editor = EditorChoice::parse(QString::fromUtf8(choice));
            QCOMPARE(m_actions->openFile(model, 1, nullptr), Outcome::Converted);
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
        const RecordGridModel &model = listed({QStringLiteral("abc")});
        m_actions->openSource(model, 1, nullptr);
        m_actions->openSource(model, 2, nullptr);
        QCOMPARE(m_shell.opened, QStringList{QStringLiteral("https://example.com/abc")});
        QCOMPARE(m_dialogs.messages.size(), 1);  // "Notavo" is neither an address nor a file
    }

    void missingFileOffersTheFinder()
    {
        const RecordGridModel &model = listed({QStringLiteral("gone"), QStringLiteral("gone.TXT")});
        m_dialogs.answers.enqueue(Dialogs::Answer::No);
        QCOMPARE(m_actions->openFile(model, 1, nullptr), Outcome::MissingDeclined);
        QCOMPARE(m_finderShown, 0);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.at(0).title, QStringLiteral("系统提示："));
        QCOMPARE(m_dialogs.messages.at(0).text, QStringLiteral("打开文件出错,可能是该文件已经被移走....是否现在查找？"));
        QCOMPARE(m_dialogs.messages.at(0).icon, Dialogs::Icon::Critical);

        m_dialogs.answers.enqueue(Dialogs::Answer::Yes);
        QCOMPARE(m_actions->openFile(model, 1, nullptr), Outcome::FinderShown);
        QCOMPARE(m_finderShown, 1);
        QCOMPARE(m_findFileName, QStringLiteral("gone.txt"));

        m_dialogs.answers.enqueue(Dialogs::Answer::Yes);
        QCOMPARE(m_actions->openFile(model, 2, nullptr), Outcome::FinderShown);
        QCOMPARE(m_findFileName, QStringLiteral("gone.TXT"));
        QVERIFY(m_edited.isEmpty());
    }

    // Two records share a name: the chosen row's record goes, not the first of that name.
    void deletesTheChosenRowAmongDuplicates()
    {
        RecordGridModel &model = listed({QStringLiteral("dup"), QStringLiteral("dup"), QStringLiteral("other")});
        const qint64 firstId = model.recordAt(1)->rowId;
        const QString chosenFile = m_fixture->filePath(QStringLiteral("dup.txt"));
        QVERIFY(GbkTextFile::write(chosenFile, QStringLiteral("x")));

        m_dialogs.answers.enqueue(Dialogs::Answer::Yes);
        m_actions->deleteRows(model, {2}, nullptr, {});
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.at(0).text, QStringLiteral("真的要删除《dup》吗？"));
        QCOMPARE(m_dialogs.messages.at(0).icon, Dialogs::Icon::Exclamation);
        const QList<Record> left = *m_fixture->store().records();
        QCOMPARE(left.size(), 2);
        QCOMPARE(left.at(0).rowId, firstId);
        QCOMPARE(model.cellText(2, 1), QString());
        QCOMPARE(model.cellText(2, 0), QStringLiteral("2"));
        QCOMPARE(model.cellText(1, 1), QStringLiteral("dup"));
        QVERIFY(QFile::exists(chosenFile));

        // The blanked row has no record any more: nothing is asked.
        m_actions->deleteRows(model, {2}, nullptr, {});
        QCOMPARE(m_dialogs.messages.size(), 1);
    }

    void eachRowOfARangeIsAskedOnItsOwn()
    {
        RecordGridModel &model = listed({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        answer(m_dialogs, {Dialogs::Answer::No, Dialogs::Answer::Yes, Dialogs::Answer::No});
        int declined = 0;
        m_actions->deleteRows(model, {1, 2, 3, 4}, nullptr, [&declined] { ++declined; });
        QCOMPARE(m_dialogs.messages.size(), 3);
        QCOMPARE(declined, 2);
        QStringList left;
        const QList<Record> records = *m_fixture->store().records();
        for (const Record &record : records)
            left.append(record.fileName);
        QCOMPARE(left, (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
    }

    void deleteReportsADatabaseError()
    {
        RecordGridModel &model = listed({QStringLiteral("a")});
        QTemporaryDir dir;
        RecordStore broken(dir.path());
        RecordActions actions({broken, m_settings, m_findFileName, m_clock, m_shell, m_dialogs, {}, {}});
        m_dialogs.answers.enqueue(Dialogs::Answer::Yes);
        actions.deleteRows(model, {1}, nullptr, {});
        QCOMPARE(m_dialogs.messages.size(), 2);
        QCOMPARE(m_dialogs.messages.at(1).title, QStringLiteral("系统提示："));
        QCOMPARE(m_dialogs.messages.at(1).icon, Dialogs::Icon::Critical);
        QCOMPARE(model.cellText(1, 1), QStringLiteral("a"));
    }

private:
    RecordGridModel &listed(const QStringList &names)
    {
        for (const QString &name : names)
            m_fixture->add(name, QStringLiteral("小说"), m_clock.today());
        m_model.setListing(*m_fixture->store().records());
        return m_model;
    }

    std::unique_ptr<HistoryFixture> m_fixture;
    Settings m_settings;
    QString m_findFileName;
    FakeClock m_clock;
    RecordingShellOpener m_shell;
    ScriptedDialogs m_dialogs;
    RecordGridModel m_model;
    QStringList m_edited;
    int m_finderShown = 0;
    std::unique_ptr<RecordActions> m_actions;
};

QTEST_GUILESS_MAIN(TestRecordActions)
#include "tst_recordactions.moc"
