#pragma once

#include "settings/settingsdialoglogic.h"

#include <QDialog>
#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeView;

// The settings dialog "系统设置": the save folder, the editor for records, the start-with-system
// and open-after-saving switches, and whether the program may switch the desktop's accessibility on. It runs the opening check when it is created and deletes itself
// when closed. Show it modeless; `showMessage` puts a text into the program's message window.
class SettingsDialog final : public QDialog
{
    Q_OBJECT

public:
    using MessageHook = std::function<void(const QString &)>;

    SettingsDialog(SettingsStore &store, Settings &settings, ProgramFolder programFolder, QString programPath,
                 MessageHook showMessage, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SettingsDialog)
    ~SettingsDialog() override;

    // The opening check as start-up runs it, without a window: on a first start creates the
    // default save folder and stores it, reports a missing save folder through `showMessage`
    // and leaves `settings` as the settings file holds them. Returns false when the folder was missing.
    static bool runStartupCheck(SettingsStore &store, Settings &settings, const ProgramFolder &programFolder,
                                const MessageHook &showMessage);

    // The controls, for the application's tests and for accessibility tools.
    QTabWidget *pageTabs() const { return m_tabs; }
    QLineEdit *folderEdit() const { return m_folderEdit; }
    QComboBox *volumeCombo() const { return m_drives; }
    QTreeView *folderTree() const { return m_folders; }
    QRadioButton *editorOption(int index) const { return m_editOptions.at(static_cast<std::size_t>(index)); }
    QCheckBox *startWithSystemCheck() const { return m_autoRun; }
    QCheckBox *openAfterSavingCheck() const { return m_autoEdit; }
    QCheckBox *accessibilityCheck() const { return m_accessibility; }
    QDialogButtonBox *buttonBox() const { return m_buttonBox; }
    QPushButton *confirmButton() const { return m_confirmButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }

    // "确定": stores the choices and closes; when they cannot be stored the dialog stays open
    // with them and says why.
    void accept() override;
    // "取消", Escape and closing the window: drops what the opening check set in memory.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

Q_SIGNALS:
    // A confirm stored a new accessibility choice: whether the program may switch it on.
    void accessibilityChoiceChanged(bool may);

private:
    QWidget *buildFolderPage();
    QWidget *buildEditorPage();
    QWidget *buildAutoRunPage();
    void fillDrives();
    void openingCheck();

    void onPageChanged(int index);
    void onVolumeChanged(int index);
    void onFolderTreeChanged();
    void onFolderEditingFinished();

    // Moves the folder list (and the drive list with it) to a folder without touching folderEdit.
    void showFolder(const QString &path);
    QString volumeOf(const QString &path) const;
    std::optional<int> chosenEditorOption() const;

    SettingsDialogLogic m_logic;
    MessageHook m_showMessage;
    bool m_syncing = false;
    bool m_followCurrent = false;

    QTabWidget *m_tabs = nullptr;
    QLineEdit *m_folderEdit = nullptr;
    QComboBox *m_drives = nullptr;
    QTreeView *m_folders = nullptr;
    QFileSystemModel *m_folderModel = nullptr;
    QButtonGroup *m_editGroup = nullptr;
    std::array<QRadioButton *, 4> m_editOptions{};
    QCheckBox *m_autoRun = nullptr;
    QCheckBox *m_autoEdit = nullptr;
    QCheckBox *m_accessibility = nullptr;
    QDialogButtonBox *m_buttonBox = nullptr;
    QPushButton *m_confirmButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};
