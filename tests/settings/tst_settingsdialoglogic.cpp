#include "common/gbkcodec.h"
#include "platform/testing/fakeautorunentry.h"
#include "settings/profilefile.h"
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

    void confirmAfterAMissingFolderCreatesTheDefaultFolder()
    {
        Fixture f;
        QVERIFY(!f.logic.openingCheck()); // no settings file: "txtPATH" does not exist
        const auto outcome = f.logic.confirm({f.settings.saveFolder, std::nullopt, false, false});
        QCOMPARE(outcome, SettingsDialogLogic::ConfirmOutcome::Saved);
        QVERIFY(QFileInfo(f.folder.filePath(QStringLiteral("myText"))).isDir());
        QCOMPARE(f.settings.saveFolder, f.folder.filePath(QStringLiteral("myText")));
        // No option was chosen, so the editor choice keeps the default text.
        QCOMPARE(f.settings.editorChoice, SettingsStore::defaultValue());
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
        QVERIFY(f.iniBytes().contains("saveFilePATH=" + Gbk::encode(typed.trimmed()) + "\r\n"));
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
        QCOMPARE(f.settings.autoOpenFlag, QStringLiteral("TRUE"));

        // Switching both off stores the empty command and "FALSE"; the entry is kept, switched off.
        QCOMPARE(f.logic.confirm({folder, std::nullopt, false, false}), SettingsDialogLogic::ConfirmOutcome::Saved);
        QVERIFY(f.iniBytes().contains("runFileName=\r\n"));
        QVERIFY(f.iniBytes().contains("editFileName=FALSE\r\n"));
        QCOMPARE(f.autoRun.commands.last(), QString());
        QCOMPARE(f.settings.editorChoice, QStringLiteral("使用WPS"));
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
        // No settings file: the default text is not empty, so start-with-system shows on.
        QVERIFY(f.logic.storedAutoRun());
        QVERIFY(!f.logic.storedAutoOpen());

        f.write(QStringLiteral("MyFileAotoRun"), QStringLiteral("runFileName"), QString());
        f.write(QStringLiteral("MyFileAutoEdit"), QStringLiteral("editFileName"), QStringLiteral("true"));
        f.logic.openingCheck();
        QVERIFY(!f.logic.storedAutoRun());
        QVERIFY(!f.logic.storedAutoOpen());
    }
};

QTEST_GUILESS_MAIN(TestSettingsDialogLogic)
#include "tst_settingsdialoglogic.moc"
