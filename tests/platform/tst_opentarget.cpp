#include "platform/opentarget.h"
#include "platform/shellopenprompt.h"
#include "platform/testing/recordingshellopener.h"
#include "platform/testing/scripteddialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using Kind = OpenTarget::Kind;

class TestOpenTarget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *name : {"笔记.txt", "run.sh", "app.desktop", "setup.EXE", "tool", "link.lnk"}) {
            QFile file(m_dir.filePath(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QFile tool(m_dir.filePath(QStringLiteral("tool")));
        QVERIFY(tool.setPermissions(tool.permissions() | QFile::ExeOwner));
        // A harmless-looking name that leads to a script.
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("run.sh")), m_dir.filePath(QStringLiteral("readme.txt"))));
    }

    void onlyAddressesAndDocumentsOpen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        const auto file = [this](const char *name) { return m_dir.filePath(QString::fromUtf8(name)); };
        QTest::newRow("https") << QStringLiteral("https://example.com/a?b=1") << int(Kind::Address);
        QTest::newRow("HTTP") << QStringLiteral("  HTTP://example.com ") << int(Kind::Address);
        QTest::newRow("ftp") << QStringLiteral("ftp://files.example.com/x.txt") << int(Kind::Address);
        QTest::newRow("document") << file("笔记.txt") << int(Kind::Document);
        QTest::newRow("file: document") << QUrl::fromLocalFile(file("笔记.txt")).toString() << int(Kind::Document);
        QTest::newRow("editor's source") << QStringLiteral("Notavo") << int(Kind::NotATarget);
        QTest::newRow("host without scheme") << QStringLiteral("www.example.com/page") << int(Kind::NotATarget);
        QTest::newRow("http without host") << QStringLiteral("http:/etc/passwd") << int(Kind::Refused);
        QTest::newRow("javascript") << QStringLiteral("javascript:alert(1)") << int(Kind::Refused);
        QTest::newRow("smb") << QStringLiteral("smb://host/share/x.txt") << int(Kind::Refused);
        QTest::newRow("file: script") << QUrl::fromLocalFile(file("run.sh")).toString() << int(Kind::Refused);
        QTest::newRow("desktop entry") << file("app.desktop") << int(Kind::Refused);
        QTest::newRow("windows program") << file("setup.EXE") << int(Kind::Refused);
        QTest::newRow("shortcut") << file("link.lnk") << int(Kind::Refused);
        QTest::newRow("execute bit") << file("tool") << int(Kind::Refused);
        QTest::newRow("link to a script") << file("readme.txt") << int(Kind::Refused);
        QTest::newRow("missing file") << file("gone.txt") << int(Kind::Refused);
        QTest::newRow("folder") << m_dir.path() << int(Kind::Refused);
    }
    void onlyAddressesAndDocumentsOpen()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        const OpenTarget target = OpenTarget::of(text);
        QCOMPARE(int(target.kind()), kind);
        QCOMPARE(target.reason().isEmpty(), target.canOpen());
    }

    void refusalsAreShownAndNeverReachTheShell()
    {
        RecordingShellOpener shell;
        ScriptedDialogs dialogs;
        QVERIFY(openThroughShell(QStringLiteral(" https://example.com/ "), shell, dialogs, nullptr));
        QVERIFY(openThroughShell(m_dir.filePath(QStringLiteral("笔记.txt")), shell, dialogs, nullptr));
        QCOMPARE(shell.opened, (QStringList{QStringLiteral("https://example.com/"), m_dir.filePath(QStringLiteral("笔记.txt"))}));
        QVERIFY(dialogs.messages.isEmpty());

        QVERIFY(!openThroughShell(QStringLiteral("javascript:alert(1)"), shell, dialogs, nullptr));
        QVERIFY(!openThroughShell(QStringLiteral("Notavo"), shell, dialogs, nullptr));
        QCOMPARE(shell.opened.size(), 2);
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages.at(0).title, QStringLiteral("系统提示："));
        QVERIFY(dialogs.messages.at(0).text.contains(QStringLiteral("javascript:alert(1)")));
        QCOMPARE(dialogs.messages.at(1).icon, Dialogs::Icon::Information);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestOpenTarget)
#include "tst_opentarget.moc"
