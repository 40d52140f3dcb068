#include "platform/testing/fakeautorunentry.h"
#include "settings/frmsetsystem.h"
#include "settings/profilefile.h"
#include "settings/settingsstore.h"

#include <QCheckBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

// The settings dialog driven through its controls, offscreen.
class TestSettingsDialogWindow final : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        Fixture()
            : folder(dir.path())
            , store(folder.filePath(QStringLiteral("filePath.ini")), autoRun)
        {
            saveFolder = folder.filePath(QStringLiteral("存盘"));
            QDir().mkpath(saveFolder);
            write(QStringLiteral("MyFileApp"), QStringLiteral("saveFilePATH"), saveFolder);
        }
        // A closed dialog only has its deletion queued; no event loop runs to carry it out.
        ~Fixture() { delete dialog.data(); }
        void write(const QString &section, const QString &key, const QString &value)
        {
            ProfileFile(folder.filePath(QStringLiteral("filePath.ini"))).write(section, key, value);
        }
        QString read(const QString &section, const QString &key) const
        {
            return ProfileFile(folder.filePath(QStringLiteral("filePath.ini"))).read(section, key, QStringLiteral("-"));
        }
        frmSetSystem *open()
        {
            dialog = new frmSetSystem(store, settings, folder, QStringLiteral("/程序/Notavo"),
                                      [this](const QString &text) { messages.append(text); });
            dialog->show();
            return dialog;
        }

        QTemporaryDir dir;
        ProgramFolder folder;
        FakeAutoRunEntry autoRun;
        SettingsStore store;
        Settings settings;
        QString saveFolder;
        QStringList messages;
        QPointer<frmSetSystem> dialog;
    };

private Q_SLOTS:
    void confirmKeepsSwitchesOfAnUnvisitedPage()
    {
        Fixture f;
        f.write(QStringLiteral("MyFileAotoRun"), QStringLiteral("runFileName"), QStringLiteral("/旧/Notavo"));
        f.write(QStringLiteral("MyFileAutoEdit"), QStringLiteral("editFileName"), QStringLiteral("TRUE"));
        frmSetSystem *dialog = f.open();
        QCOMPARE(dialog->txtPath()->text(), f.saveFolder);
        QVERIFY(f.messages.isEmpty());

        const QString other = f.folder.filePath(QStringLiteral("新的/文件夹"));
        dialog->txtPath()->setText(other);
        dialog->cmdYesNo(0)->click();

        QVERIFY(!f.dialog || !f.dialog->isVisible());
        QCOMPARE(f.read(QStringLiteral("MyFileApp"), QStringLiteral("saveFilePATH")), other);
        QCOMPARE(f.read(QStringLiteral("MyFileAotoRun"), QStringLiteral("runFileName")), QStringLiteral("/程序/Notavo"));
        QCOMPARE(f.read(QStringLiteral("MyFileAutoEdit"), QStringLiteral("editFileName")), QStringLiteral("TRUE"));
        QCOMPARE(f.autoRun.commands, QStringList{QStringLiteral("/程序/Notavo")});
    }

    void pagesReloadFromTheStoredValues()
    {
        Fixture f;
        f.write(QStringLiteral("MyFileApp"), QStringLiteral("editFilePATH"), QStringLiteral("使用记事本"));
        f.write(QStringLiteral("MyFileAotoRun"), QStringLiteral("runFileName"), QString());
        frmSetSystem *dialog = f.open();
        for (int i = 0; i < 4; ++i)
            QVERIFY(!dialog->optEDIT(i)->isChecked());

        dialog->tabSetSYSTEM()->setCurrentIndex(1);
        QVERIFY(dialog->optEDIT(1)->isChecked());
        dialog->optEDIT(3)->setChecked(true);
        dialog->tabSetSYSTEM()->setCurrentIndex(0);
        dialog->tabSetSYSTEM()->setCurrentIndex(1);
        QVERIFY(dialog->optEDIT(1)->isChecked());

        dialog->tabSetSYSTEM()->setCurrentIndex(2);
        QVERIFY(!dialog->cheAotoRUN()->isChecked());
        dialog->cheAotoRUN()->setChecked(true);
        dialog->tabSetSYSTEM()->setCurrentIndex(0);
        dialog->tabSetSYSTEM()->setCurrentIndex(2);
        QVERIFY(!dialog->cheAotoRUN()->isChecked());

        dialog->optEDIT(2)->setChecked(true);
        dialog->cmdYesNo(0)->click();
        QCOMPARE(f.read(QStringLiteral("MyFileApp"), QStringLiteral("editFilePATH")), QStringLiteral("使用WPS"));
        QCOMPARE(f.settings.editorChoice, QStringLiteral("使用WPS"));
    }

    void missingFolderIsReportedAndCancelDropsTheDefault()
    {
        Fixture f;
        QVERIFY(QDir(f.saveFolder).removeRecursively());
        frmSetSystem *dialog = f.open();
        QCOMPARE(f.messages, QStringList{QStringLiteral("自动存盘文件夹已被删除或改变,请重新设置！")});
        const QString fallback = QDir::toNativeSeparators(f.folder.filePath(QStringLiteral("myText")));
        QCOMPARE(dialog->txtPath()->text(), fallback);
        QCOMPARE(f.settings.saveFolder, fallback);

        dialog->cmdYesNo(1)->click();
        QCOMPARE(f.settings.saveFolder, f.saveFolder);
        QVERIFY(!QFileInfo::exists(fallback));
    }

    void startupCheckReportsAndKeepsTheStoredSettings()
    {
        Fixture f;
        QStringList messages;
        const auto record = [&messages](const QString &text) { messages.append(text); };
        QVERIFY(frmSetSystem::runStartupCheck(f.store, f.settings, f.folder, record));
        QVERIFY(messages.isEmpty());

        QVERIFY(QDir(f.saveFolder).removeRecursively());
        QVERIFY(!frmSetSystem::runStartupCheck(f.store, f.settings, f.folder, record));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(f.settings.saveFolder, f.saveFolder);
    }

    void folderListFillsTheFolderText()
    {
        Fixture f;
        const QString picked = f.folder.filePath(QStringLiteral("选中"));
        QVERIFY(QDir().mkpath(picked));
        frmSetSystem *dialog = f.open();
        auto *model = qobject_cast<QFileSystemModel *>(dialog->Dir1()->model());
        QVERIFY(model);
        dialog->Dir1()->setCurrentIndex(model->index(picked));
        QCOMPARE(dialog->txtPath()->text(), QDir::toNativeSeparators(picked));

        // A typed folder moves the folder list without rewriting what was typed.
        const QString typed = f.saveFolder + QDir::separator();
        dialog->txtPath()->setText(typed);
        QMetaObject::invokeMethod(dialog->txtPath(), "editingFinished");
        QCOMPARE(model->filePath(dialog->Dir1()->currentIndex()), f.saveFolder);
        QCOMPARE(dialog->txtPath()->text(), typed);
        dialog->close();
    }

    void badFolderKeepsTheDialogOpen()
    {
        Fixture f;
        frmSetSystem *dialog = f.open();
        dialog->tabSetSYSTEM()->setCurrentIndex(2);
        dialog->txtPath()->clear();
        dialog->cmdYesNo(0)->click();
        QVERIFY(f.dialog && f.dialog->isVisible());
        QCOMPARE(f.messages, QStringList{QStringLiteral("请输入文本存盘路径！")});
        QCOMPARE(dialog->tabSetSYSTEM()->currentIndex(), 0);
        QCOMPARE(f.read(QStringLiteral("MyFileApp"), QStringLiteral("saveFilePATH")), f.saveFolder);
        dialog->close();
        QVERIFY(f.autoRun.commands.isEmpty());
    }
};

QTEST_MAIN(TestSettingsDialogWindow)
#include "tst_settingsdialogwindow.moc"
