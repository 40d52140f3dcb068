#include "common/gbkcodec.h"
#include "platform/testing/fakeautorunentry.h"
#include "settings/profilefile.h"
#include "settings/savefolder.h"
#include "settings/settingsdialoglogic.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The settings dialog's logic against a real settings file in a temporary program folder.
class TestSettingsDialogLogic final : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        Fixture()
            : folder(dir.path())
            , store(folder.filePath(QStringLiteral("filePath.ini")), autoRun)
            , logic(store, settings, folder, programPath())
        {
        }
        static QString programPath() { return QStringLiteral("/opt/程序/Notavo"); }
        QString ini() const { return folder.filePath(QStringLiteral("filePath.ini")); }
        QByteArray iniBytes() const
        {
            QFile file(ini());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }
        void write(const QString &section, const QString &key, const QString &value)
        {
            ProfileFile(ini()).write(section, key, value);
        }

        QTemporaryDir dir;
        ProgramFolder folder;
        FakeAutoRunEntry autoRun;
        SettingsStore store;
        Settings settings;
        SettingsDialogLogic logic;
    };

private Q_SLOTS:
    void openingCheckKeepsAnExistingFolder()
    {
        Fixture f;
        const QString saved = f.folder.filePath(QStringLiteral("资料"));
        QVERIFY(QDir().mkpath(saved));
        f.write(QStringLiteral("MyFileApp"), QStringLiteral("saveFilePATH"), saved);
        QVERIFY(f.logic.openingCheck());
        QCOMPARE(f.settings.saveFolder, saved);
    }

    // Settings files that hold no save folder: no warning, the default folder is used, and the
    // file is never rewritten by reading it.
    void noChosenFolderMeansTheDefaultFolder_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no file") << QByteArray();
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage += char((i * 7919) % 256);
        QTest::newRow("binary garbage") << garbage;
        QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF[MyFileApp]\r\nsaveFilePATH=/nowhere\r\n");
        QTest::newRow("100 kB line") << QByteArray("[MyFileApp]\r\nsaveFilePATH") + QByteArray(100 * 1024, 'x') + "\r\n";
        QTest::newRow("empty value") << QByteArray("[MyFileApp]\r\nsaveFilePATH=\r\n");
        QTest::newRow("placeholder") << QByteArray("[MyFileApp]\r\nsaveFilePATH=txtPATH\r\n");
    }
    void noChosenFolderMeansTheDefaultFolder()
    {
        QFETCH(QByteArray, content);
        Fixture f;
        if (!content.isEmpty()) {
            QFile file(f.ini());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const QString fallback = f.folder.filePath(QStringLiteral("myText"));
        QVERIFY(f.logic.openingCheck());
        QCOMPARE(f.settings.saveFolder, fallback);
        f.logic.cancel();
        QCOMPARE(SaveFolder::effective(f.settings.saveFolder, f.folder), fallback);
        QCOMPARE(f.iniBytes(), content);

        // Confirming without a change creates the default folder and stores it.
        f.logic.openingCheck();
        QCOMPARE(f.logic.confirm({f.settings.saveFolder, std::nullopt, false, false}),
                 SettingsDialogLogic::ConfirmOutcome::Saved);
        QVERIFY(QFileInfo(fallback).isDir());
        QCOMPARE(f.settings.saveFolder, fallback);
    }

    void firstStartStoresTheDefaultFolder()
    {
        Fixture f;
        QCOMPARE(f.logic.prepareFirstStart(), SettingsDialogLogic::ConfirmOutcome::Saved);
        const QString fallback = f.folder.filePath(QStringLiteral("myText"));
        QVERIFY(QFileInfo(fallback).isDir());
        QCOMPARE(f.iniBytes(), "[MyFileApp]\r\nsaveFilePATH=" + Gbk::encode(fallback) + "\r\n");
        QVERIFY(f.logic.openingCheck());

        // Only a first start does this: an existing file, however odd, is left alone.
        Fixture other;
        QFile odd(other.ini());
        QVERIFY(odd.open(QIODevice::WriteOnly));
        odd.write("\xEF\xBB\xBF[MyFileApp]\r\n");
        odd.close();
        QCOMPARE(other.logic.prepareFirstStart(), SettingsDialogLogic::ConfirmOutcome::Saved);
        QCOMPARE(other.iniBytes(), QByteArray("\xEF\xBB\xBF[MyFileApp]\r\n"));
        QVERIFY(!QFileInfo::exists(other.folder.filePath(QStringLiteral("myText"))));
    }

    void confirmCreatesEveryLevelAndStoresTheTextAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("created");
        QTest::newRow("absolute") << QStringLiteral("@/a/b/c") << QStringLiteral("@/a/b/c");
        QTest::newRow("trailing separator") << QStringLiteral("@/a/b/") << QStringLiteral("@/a/b");
        QTest::newRow("relative") << QStringLiteral("摘录/二〇二六") << QStringLiteral("摘录/二〇二六");
        QTest::newRow("chinese") << QStringLiteral("@/我的资料/小说 摘抄") << QStringLiteral("@/我的资料/小说 摘抄");
        QTest::newRow("spaces around") << QStringLiteral("  @/x  ") << QStringLiteral("@/x");
    }

    void confirmCreatesEveryLevelAndStoresTheTextAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, created);
        Fixture f;
        QTemporaryDir target;
        typed.replace(u'@', target.path());
        created.replace(u'@', target.path());

        f.logic.openingCheck();
        QCOMPARE(f.logic.confirm({typed, std::nullopt, false, false}), SettingsDialogLogic::ConfirmOutcome::Saved);
        QVERIFY(QFileInfo(f.logic.resolvedFolder(created)).isDir());
        QCOMPARE(f.settings.saveFolder, typed.trimmed());
        QVERIFY(f.iniBytes().contains(QByteArray("saveFilePATH=" + Gbk::encode(typed.trimmed()) + "\r\n")));
    }

    void confirmWritesTheKeysInOrderIntoANewFile()
    {
        Fixture f;
        f.logic.openingCheck();
        const QString folder = f.folder.filePath(QStringLiteral("文本"));
        QCOMPARE(f.logic.confirm({folder, SettingsDialogLogic::WpsOption, true, true}),
                 SettingsDialogLogic::ConfirmOutcome::Saved);

        const QByteArray expected = "[MyFileApp]\r\nsaveFilePATH=" + Gbk::encode(folder) + "\r\neditFilePATH="
                                    + Gbk::encode(QStringLiteral("使用WPS")) + "\r\n[MyFileAotoRun]\r\nrunFileName="
                                    + Gbk::encode(Fixture::programPath()) + "\r\n[MyFileAutoEdit]\r\neditFileName=TRUE\r\n";
        QCOMPARE(f.iniBytes(), expected);
        QCOMPARE(f.autoRun.commands, QStringList{Fixture::programPath()});
        QVERIFY(f.settings.autoOpen);

        // Switching both off stores the empty command and "FALSE"; the entry is kept, switched off.
        QCOMPARE(f.logic.confirm({folder, std::nullopt, false, false}), SettingsDialogLogic::ConfirmOutcome::Saved);
        QVERIFY(f.iniBytes().contains("runFileName=\r\n"));
        QVERIFY(f.iniBytes().contains("editFileName=FALSE\r\n"));
        QCOMPARE(f.autoRun.commands.last(), QString());
        QCOMPARE(f.settings.editor, EditorChoice::Editor::Wps);
    }

    // Confirming only to look, on a fresh install: start with the system stays as it was, with
    // no key and no entry written; the other settings are stored.
    void confirmLeavesStartWithSystemThatStaysOff()
    {
        Fixture f;
        QCOMPARE(f.logic.prepareFirstStart(), SettingsDialogLogic::ConfirmOutcome::Saved);
        f.logic.openingCheck();
        QCOMPARE(f.logic.confirm({f.settings.saveFolder, f.logic.storedEditorOption(), f.logic.storedAutoRun(),
                                  f.logic.storedAutoOpen()}),
                 SettingsDialogLogic::ConfirmOutcome::Saved);
        QVERIFY(f.autoRun.commands.isEmpty());
        QVERIFY(!f.iniBytes().contains("runFileName"));
        QVERIFY(f.iniBytes().contains("editFileName=FALSE\r\n"));
        QCOMPARE(f.settings.autoRunProgram, std::nullopt);

        // Stored off as the empty text: still untouched.
        f.write(QStringLiteral("MyFileAotoRun"), QStringLiteral("runFileName"), QString());
        f.logic.openingCheck();
        QCOMPARE(f.logic.confirm({f.settings.saveFolder, std::nullopt, false, false}),
                 SettingsDialogLogic::ConfirmOutcome::Saved);
        QVERIFY(f.autoRun.commands.isEmpty());
        QVERIFY(f.iniBytes().contains("runFileName=\r\n"));
    }

    // Confirming what the dialog shows, without a change: each stored text comes back byte for
    // byte, unknown ones included. Only the open-after-saving flag is always written, as "TRUE"
    // or "FALSE" for what the box shows; the editor page, once visited, stores its option's text.
    void confirmWithoutAChangeKeepsTheStoredTexts_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("visitEditorPage");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray head = "[MyFileApp]\r\nsaveFilePATH=@\r\n";
        const auto file = [&head](const QByteArray &editor, const QByteArray &run, const QByteArray &open) -> QByteArray {
            return head + "editFilePATH=" + editor + "\r\n[MyFileAotoRun]\r\nrunFileName=" + run
                   + "\r\n[MyFileAutoEdit]\r\neditFileName=" + open + "\r\n";
        };
        const QByteArray program = Gbk::encode(Fixture::programPath());
        const QByteArray wps = Gbk::encode(u"使用WPS");
        const QByteArray other = Gbk::encode(u"其它编辑器");
        const QByteArray notepadLike = Gbk::encode(u"我的记事本");
        QTest::newRow("as the dialog writes them") << file(wps, program, "TRUE") << false << file(wps, program, "TRUE");
        QTest::newRow("page visited") << file(wps, program, "TRUE") << true << file(wps, program, "TRUE");
        QTest::newRow("all off") << file("Notavo", "", "FALSE") << true << file("Notavo", "", "FALSE");
        QTest::newRow("names no editor") << file(other, "", "FALSE") << true << file(other, "", "FALSE");
        QTest::newRow("ends like Notavo") << file("xNotavo", "", "FALSE") << false << file("xNotavo", "", "FALSE");
        QTest::newRow("placeholder texts") << file("txtPATH", "txtPATH", "FALSE") << true
                                           << file("txtPATH", "txtPATH", "FALSE");
        QTest::newRow("ends like notepad, not visited") << file(notepadLike, "", "FALSE") << false
                                                        << file(notepadLike, "", "FALSE");
        QTest::newRow("ends like notepad, visited") << file(notepadLike, "", "FALSE") << true
                                                    << file(Gbk::encode(u"使用记事本"), "", "FALSE");
        QTest::newRow("ends like Notavo, visited") << file("xNotavo", "", "FALSE") << true << file("Notavo", "", "FALSE");
        QTest::newRow("lower-case flag shows off") << file(wps, "", "true") << false << file(wps, "", "FALSE");
        QTest::newRow("spaces around a value") << file(wps, "", "FALSE ") << false << file(wps, "", "FALSE");
        QTest::newRow("an old program path") << file(wps, "/old/Notavo", "TRUE") << false << file(wps, program, "TRUE");
        QTest::newRow("no editor key") << QByteArray(head + "[MyFileAutoEdit]\r\neditFileName=TRUE\r\n") << false
                                       << QByteArray(head + "editFilePATH=txtPATH\r\n[MyFileAutoEdit]\r\neditFileName=TRUE\r\n");
    }
    void confirmWithoutAChangeKeepsTheStoredTexts()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, visitEditorPage);
        QFETCH(QByteArray, expected);
        Fixture f;
        const QByteArray folder = Gbk::encode(f.folder.filePath(QStringLiteral("文本")));
        QVERIFY(QDir().mkpath(f.folder.filePath(QStringLiteral("文本"))));
        QFile file(f.ini());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(stored.replace('@', folder));
        file.close();

        QVERIFY(f.logic.openingCheck());
        const SettingsDialogLogic::Choices unchanged{f.settings.saveFolder,
                                                     visitEditorPage ? f.logic.storedEditorOption() : std::nullopt,
                                                     f.logic.storedAutoRun(), f.logic.storedAutoOpen(),
                                                     f.logic.storedTurnOnAccessibility()};
        QCOMPARE(f.logic.confirm(unchanged), SettingsDialogLogic::ConfirmOutcome::Saved);
        QCOMPARE(f.iniBytes(), expected.replace('@', folder));
    }

    void confirmRefusesAFolderItCannotUse()
    {
        Fixture f;
        f.logic.openingCheck();
        // A level that is a file cannot hold folders.
        QFile blocker(f.folder.filePath(QStringLiteral("文件")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(f.logic.confirm({blocker.fileName() + QStringLiteral("/下级"), std::nullopt, true, true}),
                 SettingsDialogLogic::ConfirmOutcome::FolderNotCreated);

        QVERIFY(!QFileInfo::exists(f.ini()));
        QVERIFY(f.autoRun.commands.isEmpty());

        // A path longer than the settings file keeps (255 bytes in code page 936) is refused
        // before anything is made or written.
        const QString tooLong = f.folder.filePath(QString(128, QChar(0x5B57)));
        QCOMPARE(f.logic.confirm({tooLong, std::nullopt, true, true}), SettingsDialogLogic::ConfirmOutcome::FolderTooLong);
        QVERIFY(!QFileInfo::exists(tooLong));
        QVERIFY(!QFileInfo::exists(f.ini()));
        QVERIFY(!f.logic.messageFor(SettingsDialogLogic::ConfirmOutcome::FolderTooLong).isEmpty());
    }

    void confirmSaysWhenTheSettingsCouldNotBeWritten()
    {
        Fixture f;
        // A folder where the settings file should be: every write fails, as root too.
        QVERIFY(QDir().mkpath(f.ini()));
        f.logic.openingCheck();
        QCOMPARE(f.logic.confirm({f.folder.filePath(QStringLiteral("文本")), SettingsDialogLogic::WpsOption, true, true}),
                 SettingsDialogLogic::ConfirmOutcome::NotSaved);
        QVERIFY(f.logic.messageFor(SettingsDialogLogic::ConfirmOutcome::NotSaved).contains(QStringLiteral("filePath.ini")));
        QVERIFY(f.autoRun.commands.isEmpty());
        QCOMPARE(f.settings.editor, EditorChoice::Editor::None);  // what the file holds
        QCOMPARE(f.logic.prepareFirstStart(), SettingsDialogLogic::ConfirmOutcome::Saved);  // not a first start
    }

    void editorPageFollowsTheStoredChoice_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("option");
        QTest::newRow("built-in") << QStringLiteral("Notavo") << 0;
        QTest::newRow("notepad") << QStringLiteral("使用记事本") << 1;
        QTest::newRow("wps") << QStringLiteral("使用WPS") << 2;
        QTest::newRow("word") << QStringLiteral("使用Doc") << 3;
        QTest::newRow("no settings file") << QStringLiteral("txtPATH") << -1;
    }

    void editorPageFollowsTheStoredChoice()
    {
        QFETCH(QString, stored);
        QFETCH(int, option);
        Fixture f;
        if (stored != SettingsStore::defaultValue())
            f.write(QStringLiteral("MyFileApp"), QStringLiteral("editFilePATH"), stored);
        f.logic.openingCheck();
        QCOMPARE(f.logic.storedEditorOption().value_or(-1), option);
    }

    void autoRunPageFollowsTheStoredValues()
    {
        Fixture f;
        f.logic.openingCheck();
        // No settings file: nothing was chosen, so start with the system shows off.
        QVERIFY(!f.logic.storedAutoRun());
        QVERIFY(!f.logic.storedAutoOpen());
        f.write(QStringLiteral("MyFileAotoRun"), QStringLiteral("runFileName"), Fixture::programPath());
        f.logic.openingCheck();
        QVERIFY(f.logic.storedAutoRun());

        f.write(QStringLiteral("MyFileAotoRun"), QStringLiteral("runFileName"), QString());
        f.write(QStringLiteral("MyFileAutoEdit"), QStringLiteral("editFileName"), QStringLiteral("true"));
        f.logic.openingCheck();
        QVERIFY(!f.logic.storedAutoRun());
        QVERIFY(!f.logic.storedAutoOpen());
    }

    // The accessibility choice: no key means may, as before the choice was offered; a confirm
    // writes the key only when the choice changes, and the program reads what it wrote.
    void accessibilityChoiceIsWrittenOnlyWhenChanged()
    {
        Fixture f;
        f.logic.openingCheck();
        QVERIFY(f.logic.storedTurnOnAccessibility());
        SettingsDialogLogic::Choices choices{f.settings.saveFolder, std::nullopt, false, false, true};
        QCOMPARE(f.logic.confirm(choices), SettingsDialogLogic::ConfirmOutcome::Saved);
        QVERIFY(!f.iniBytes().contains("MyFileWebSource"));

        choices.turnOnAccessibility = false;
        QCOMPARE(f.logic.confirm(choices), SettingsDialogLogic::ConfirmOutcome::Saved);
        QVERIFY(f.iniBytes().endsWith("[MyFileWebSource]\r\nautoAccessibility=FALSE\r\n"));
        QVERIFY(!f.store.mayTurnOnAccessibility());
        QVERIFY(!f.logic.storedTurnOnAccessibility());

        choices.turnOnAccessibility = true;
        QCOMPARE(f.logic.confirm(choices), SettingsDialogLogic::ConfirmOutcome::Saved);
        QVERIFY(f.iniBytes().endsWith("[MyFileWebSource]\r\nautoAccessibility=TRUE\r\n"));
        QVERIFY(f.store.mayTurnOnAccessibility());

        // Written by hand in another case, the key still reads as off.
        f.write(QStringLiteral("MyFileWebSource"), QStringLiteral("autoAccessibility"), QStringLiteral("false"));
        QVERIFY(!f.logic.storedTurnOnAccessibility());
    }
};

QTEST_GUILESS_MAIN(TestSettingsDialogLogic)
#include "tst_settingsdialoglogic.moc"
