#include "platform/testing/fakeautorunentry.h"
#include "settings/settingsdialog.h"
#include "settings/profilefile.h"
#include "settings/settingsstore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
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
        SettingsDialog *open()
        {
            dialog = new SettingsDialog(store, settings, folder, QStringLiteral("/程序/Notavo"),
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
        QPointer<SettingsDialog> dialog;
    };

private Q_SLOTS:
    void confirmKeepsSwitchesOfAnUnvisitedPage()
    {
        Fixture f;
        f.write(QStringLiteral("MyFileAotoRun"), QStringLiteral("runFileName"), QStringLiteral("/旧/Notavo"));
        f.write(QStringLiteral("MyFileAutoEdit"), QStringLiteral("editFileName"), QStringLiteral("TRUE"));
        SettingsDialog *dialog = f.open();
        QCOMPARE(dialog->folderEdit()->text(), f.saveFolder);
        QVERIFY(f.messages.isEmpty());

        const QString other = f.folder.filePath(QStringLiteral("新的/文件夹"));
        dialog->folderEdit()->setText(other);
        dialog->confirmButton()->click();

        QVERIFY(!f.dialog || !f.dialog->isVisible());
        QCOMPARE(f.read(QStringLiteral("MyFileApp"), QStringLiteral("saveFilePATH")), other);
        QCOMPARE(f.read(QStringLiteral("MyFileAotoRun"), QStringLiteral("runFileName")), QStringLiteral("/程序/Notavo"));
        QCOMPARE(f.read(QStringLiteral("MyFileAutoEdit"), QStringLiteral("editFileName")), QStringLiteral("TRUE"));
        QCOMPARE(f.autoRun.commands, QStringList{QStringLiteral("/程序/Notavo")});
    }

    // The accessibility choice: on without a key, off stored as FALSE and announced, a cancel
    // or an unchanged confirm announces nothing; its line of cost sits inside the page.
    void accessibilityChoiceIsStoredAndAnnounced()
    {
        Fixture f;
        SettingsDialog *dialog = f.open();
        QSignalSpy announced(dialog, &SettingsDialog::accessibilityChoiceChanged);
        dialog->pageTabs()->setCurrentIndex(2);
        QVERIFY(dialog->accessibilityCheck()->isVisible());
        QVERIFY(dialog->accessibilityCheck()->isChecked());
        const auto *cost = dialog->findChild<QLabel *>(QStringLiteral("accessibilityCost"));
        QVERIFY(cost && cost->isVisible());
        const QRect page = dialog->pageTabs()->currentWidget()->rect();
        QVERIFY(page.contains(cost->geometry()));
        QVERIFY(cost->geometry().top() >= dialog->accessibilityCheck()->geometry().bottom());

        dialog->accessibilityCheck()->setChecked(false);
        dialog->confirmButton()->click();
        QCOMPARE(f.read(QStringLiteral("MyFileWebSource"), QStringLiteral("autoAccessibility")), QStringLiteral("FALSE"));
        QCOMPARE(announced.size(), 1);
        QCOMPARE(announced.constFirst().constFirst().toBool(), false);

        delete f.dialog.data();
        dialog = f.open();
        QSignalSpy again(dialog, &SettingsDialog::accessibilityChoiceChanged);
        QVERIFY(!dialog->accessibilityCheck()->isChecked());
        dialog->confirmButton()->click();
        QVERIFY(again.isEmpty());

        delete f.dialog.data();
        dialog = f.open();
        QSignalSpy back(dialog, &SettingsDialog::accessibilityChoiceChanged);
        dialog->accessibilityCheck()->setChecked(true);
        dialog->cancelButton()->click();
        QVERIFY(back.isEmpty());
        QCOMPARE(f.read(QStringLiteral("MyFileWebSource"), QStringLiteral("autoAccessibility")), QStringLiteral("FALSE"));
    }

    void pagesReloadFromTheStoredValues()
    {
        Fixture f;
        f.write(QStringLiteral("MyFileApp"), QStringLiteral("editFilePATH"), QStringLiteral("使用记事本"));
        f.write(QStringLiteral("MyFileAotoRun"), QStringLiteral("runFileName"), QString());
        SettingsDialog *dialog = f.open();
        for (int i = 0; i < 4; ++i)
            QVERIFY(!dialog->editorOption(i)->isChecked());

        dialog->pageTabs()->setCurrentIndex(1);
        QVERIFY(dialog->editorOption(1)->isChecked());
        dialog->editorOption(3)->setChecked(true);
        dialog->pageTabs()->setCurrentIndex(0);
        dialog->pageTabs()->setCurrentIndex(1);
        QVERIFY(dialog->editorOption(1)->isChecked());

        dialog->pageTabs()->setCurrentIndex(2);
        QVERIFY(!dialog->startWithSystemCheck()->isChecked());
        dialog->startWithSystemCheck()->setChecked(true);
        dialog->pageTabs()->setCurrentIndex(0);
        dialog->pageTabs()->setCurrentIndex(2);
        QVERIFY(!dialog->startWithSystemCheck()->isChecked());

        dialog->editorOption(2)->setChecked(true);
        dialog->confirmButton()->click();
        QCOMPARE(f.read(QStringLiteral("MyFileApp"), QStringLiteral("editFilePATH")), QStringLiteral("使用WPS"));
        QCOMPARE(f.settings.editor, EditorChoice::Editor::Wps);
    }

    void missingFolderIsReportedAndCancelDropsTheDefault()
    {
        Fixture f;
        QVERIFY(QDir(f.saveFolder).removeRecursively());
        SettingsDialog *dialog = f.open();
        QCOMPARE(f.messages, QStringList{QStringLiteral("自动存盘文件夹已被删除或改变,请重新设置！")});
        const QString fallback = QDir::toNativeSeparators(f.folder.filePath(QStringLiteral("myText")));
        QCOMPARE(dialog->folderEdit()->text(), fallback);
        QCOMPARE(f.settings.saveFolder, fallback);

        dialog->cancelButton()->click();
        QCOMPARE(f.settings.saveFolder, f.saveFolder);
        QVERIFY(!QFileInfo::exists(fallback));
    }

    // 确定 and 取消 are the dialog's accept and reject: Escape and closing the window cancel too,
    // Enter in the folder text confirms nothing, and a closed dialog deletes itself.
    void buttonsAcceptAndRejectTheDialog()
    {
        Fixture f;
        QVERIFY(QDir(f.saveFolder).removeRecursively());
        SettingsDialog *dialog = f.open();
        QSignalSpy rejected(dialog, &QDialog::rejected);
        QCOMPARE(dialog->buttonBox()->buttonRole(dialog->confirmButton()), QDialogButtonBox::AcceptRole);
        QCOMPARE(dialog->buttonBox()->buttonRole(dialog->cancelButton()), QDialogButtonBox::RejectRole);
        QCOMPARE(dialog->confirmButton()->text(), QStringLiteral("确定"));
        QCOMPARE(dialog->cancelButton()->text(), QStringLiteral("取消"));
        QVERIFY(!dialog->confirmButton()->isDefault() && !dialog->cancelButton()->isDefault());

        dialog->folderEdit()->setFocus();
        QTest::keyClick(dialog->folderEdit(), Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QVERIFY(!QFileInfo::exists(f.folder.filePath(QStringLiteral("myText"))));

        QTest::keyClick(dialog->folderEdit(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(rejected.size(), 1);
        QCOMPARE(f.settings.saveFolder, f.saveFolder);  // the default folder dropped again
        QTRY_VERIFY(!f.dialog);

        dialog = f.open();
        QSignalSpy closed(dialog, &QDialog::rejected);
        dialog->close();
        QCOMPARE(closed.size(), 1);
        QCOMPARE(f.settings.saveFolder, f.saveFolder);

        QDir().mkpath(f.saveFolder);
        dialog = f.open();
        QSignalSpy accepted(dialog, &QDialog::accepted);
        dialog->confirmButton()->click();
        QCOMPARE(accepted.size(), 1);
        QTRY_VERIFY(!f.dialog);
    }

    // At 100 % the dialog, its pages and its buttons keep their sizes and places; it may grow.
    void keepsItsSizesAtOneHundredPercent()
    {
        Fixture f;
        SettingsDialog *dialog = f.open();
        QCOMPARE(dialog->size(), QSize(282, 317));
        QCOMPARE(dialog->minimumSize(), QSize(282, 317));
        QCOMPARE(dialog->pageTabs()->geometry(), QRect(0, 0, 281, 281));
        const auto placed = [dialog](QWidget *button) {
            return QRect(button->mapTo(dialog, QPoint()), button->size());
        };
        QCOMPARE(placed(dialog->confirmButton()), QRect(64, 288, 65, 25));
        QCOMPARE(placed(dialog->cancelButton()), QRect(152, 288, 65, 25));

        dialog->resize(400, 500);
        QTRY_COMPARE(dialog->pageTabs()->height(), 500 - 317 + 281);
        QVERIFY(placed(dialog->cancelButton()).bottom() < 500);
    }

    void startupCheckReportsAndKeepsTheStoredSettings()
    {
        Fixture f;
        QStringList messages;
        const auto record = [&messages](const QString &text) { messages.append(text); };
        QVERIFY(SettingsDialog::runStartupCheck(f.store, f.settings, f.folder, record));
        QVERIFY(messages.isEmpty());

        QVERIFY(QDir(f.saveFolder).removeRecursively());
        QVERIFY(!SettingsDialog::runStartupCheck(f.store, f.settings, f.folder, record));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(f.settings.saveFolder, f.saveFolder);
    }

    void folderListFillsTheFolderText()
    {
        Fixture f;
        const QString picked = f.folder.filePath(QStringLiteral("选中"));
        QVERIFY(QDir().mkpath(picked));
        SettingsDialog *dialog = f.open();
        auto *model = qobject_cast<QFileSystemModel *>(dialog->folderTree()->model());
        QVERIFY(model);
        dialog->folderTree()->setCurrentIndex(model->index(picked));
        QCOMPARE(dialog->folderEdit()->text(), QDir::toNativeSeparators(picked));

        // A typed folder moves the folder list without rewriting what was typed.
        const QString typed = f.saveFolder + QDir::separator();
        dialog->folderEdit()->setText(typed);
        QMetaObject::invokeMethod(dialog->folderEdit(), "editingFinished");
        QCOMPARE(model->filePath(dialog->folderTree()->currentIndex()), f.saveFolder);
        QCOMPARE(dialog->folderEdit()->text(), typed);
        dialog->close();
    }

    void badFolderKeepsTheDialogOpen()
    {
        Fixture f;
        SettingsDialog *dialog = f.open();
        dialog->pageTabs()->setCurrentIndex(2);
        dialog->folderEdit()->clear();
        dialog->confirmButton()->click();
        QVERIFY(f.dialog && f.dialog->isVisible());
        QCOMPARE(f.messages, QStringList{QStringLiteral("请输入文本存盘路径！")});
        QCOMPARE(dialog->pageTabs()->currentIndex(), 0);
        QCOMPARE(f.read(QStringLiteral("MyFileApp"), QStringLiteral("saveFilePATH")), f.saveFolder);
        dialog->close();
        QVERIFY(f.autoRun.commands.isEmpty());
    }
};

QTEST_MAIN(TestSettingsDialogWindow)
#include "tst_settingsdialogwindow.moc"
