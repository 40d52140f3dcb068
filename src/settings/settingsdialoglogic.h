#pragma once

#include "common/programfolder.h"
#include "settings/settings.h"

#include <QString>
#include <optional>

class SettingsStore;

// What the settings dialog does, without its widgets: the opening check, the state each page
// shows, and confirm and cancel. The dialog and start-up share it; tests drive it directly.
class SettingsDialogLogic final
{
public:
    // The editor options of the "后台编辑" page, top to bottom.
    enum EditorOption { BuiltInOption = 0, NotepadOption = 1, WpsOption = 2, WordOption = 3 };

    // What the page controls hold when the user confirms.
    struct Choices
    {
        QString folderText;
        std::optional<int> editorOption;
        bool autoRun = false;
        bool autoOpen = false;
        bool turnOnAccessibility = true;
    };

    // What became of a confirm, or of the first start's set-up.
    enum class ConfirmOutcome { Saved, EmptyFolder, FolderTooLong, FolderNotCreated, NotSaved };

    // `programPath` is what the start-with-system entry runs when it is switched on.
    SettingsDialogLogic(SettingsStore &store, Settings &settings, ProgramFolder programFolder, QString programPath);
    Q_DISABLE_COPY_MOVE(SettingsDialogLogic)

    static QString missingFolderMessage() { return QStringLiteral("自动存盘文件夹已被删除或改变,请重新设置！"); }
    static QString emptyFolderMessage() { return QStringLiteral("请输入文本存盘路径！"); }
    static QString folderNotCreatedMessage() { return QStringLiteral("无法建立文本存盘文件夹,请重新设置！"); }
    static QString folderTooLongMessage()
    {
        return QStringLiteral("文本存盘路径太长（超过255字节）,请重新设置！");
    }
    // The message for an outcome other than Saved; empty for Saved.
    QString messageFor(ConfirmOutcome outcome) const;

    // The default save folder "myText" in the program folder.
    QString defaultFolder() const;
    // The folder that a typed or stored folder text names; relative texts count from the program folder.
    QString resolvedFolder(const QString &folderText) const;

    // Reads the settings and checks that the save folder exists. When no folder was chosen, or
    // the stored one is missing, the save folder becomes the default folder in memory only; the
    // result is false only for a stored folder that is missing.
    bool openingCheck();
    // On a first start (no settings file yet) does what an installer would have done: creates the
    // default save folder and stores it as the save folder. Saved when there was nothing to do.
    ConfirmOutcome prepareFirstStart();

    // The option the editor page selects for the stored choice; nullopt when it names none.
    std::optional<int> storedEditorOption() const;
    // The check boxes of the "自动启动" page for the stored values.
    bool storedAutoRun() const { return m_settings.autoRunProgram.has_value(); }
    bool storedAutoOpen() const { return m_settings.autoOpen; }
    // Whether the program may switch the desktop's accessibility on, as stored.
    bool storedTurnOnAccessibility() const;

    // Creates every level of the folder, writes the settings and reads them back. Start with the
    // system that was off and stays off is left as stored, key and entry alike; so is the
    // accessibility choice when it stays as it was.
    // Nothing is written when the folder text is empty, too long for the settings file (more
    // than 255 bytes in code page 936) or the folder cannot be created. A failed write stops
    // the writes that follow; the values in memory are then what the file holds.
    ConfirmOutcome confirm(const Choices &choices);
    // Drops what the opening check set in memory by reading the file again.
    void cancel();

    const Settings &settings() const { return m_settings; }

    // The editor an option of the editor page stands for.
    static EditorChoice::Editor editorFor(int option);
    // Creates each level of `path` from the outermost down; levels that exist are fine.
    // True when the whole path is a folder afterwards.
    static bool createFolderLevels(const QString &path);

private:
    SettingsStore &m_store;
    Settings &m_settings;
    ProgramFolder m_programFolder;
    QString m_programPath;
};
