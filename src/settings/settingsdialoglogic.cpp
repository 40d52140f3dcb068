#include "settings/settingsdialoglogic.h"

#include "common/folderpath.h"
#include "common/gbkcodec.h"
#include "settings/editorchoice.h"
#include "settings/profilefile.h"
#include "settings/savefolder.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QFileInfo>

SettingsDialogLogic::SettingsDialogLogic(SettingsStore &store, Settings &settings, ProgramFolder programFolder,
                                         QString programPath)
    : m_store(store)
    , m_settings(settings)
    , m_programFolder(std::move(programFolder))
    , m_programPath(std::move(programPath))
{
}

QString SettingsDialogLogic::defaultFolder() const
{
    return SaveFolder::defaultFolder(m_programFolder);
}

QString SettingsDialogLogic::messageFor(ConfirmOutcome outcome) const
{
    switch (outcome) {
    case ConfirmOutcome::Saved:
        return {};
    case ConfirmOutcome::EmptyFolder:
        return emptyFolderMessage();
    case ConfirmOutcome::FolderTooLong:
        return folderTooLongMessage();
    case ConfirmOutcome::FolderNotCreated:
        return folderNotCreatedMessage();
    case ConfirmOutcome::NotSaved:
        return QStringLiteral("设置未能保存：无法写入设置文件“%1”,请检查该文件及其文件夹是否可写！")
            .arg(QDir::toNativeSeparators(m_store.filePath()));
    }
    return {};
}

QString SettingsDialogLogic::resolvedFolder(const QString &folderText) const
{
    return m_programFolder.resolve(QDir::fromNativeSeparators(folderText));
}

bool SettingsDialogLogic::openingCheck()
{
    m_store.readSettings(m_settings);
    const bool chosen = SaveFolder::isChosen(m_settings.saveFolder);
    if (chosen && QFileInfo(resolvedFolder(m_settings.saveFolder)).isDir())
        return true;
    m_settings.saveFolder = defaultFolder();
    return !chosen;
}

SettingsDialogLogic::ConfirmOutcome SettingsDialogLogic::prepareFirstStart()
{
    if (QFileInfo::exists(m_store.filePath()))
        return ConfirmOutcome::Saved;
    const QString folder = defaultFolder();
    if (!QDir().mkpath(folder))
        return ConfirmOutcome::FolderNotCreated;
    return m_store.saveSaveFolder(folder) ? ConfirmOutcome::Saved : ConfirmOutcome::NotSaved;
}

std::optional<int> SettingsDialogLogic::storedEditorOption() const
{
    switch (m_store.editorShownInDialog()) {
    case EditorChoice::Editor::BuiltIn:
        return BuiltInOption;
    case EditorChoice::Editor::Notepad:
        return NotepadOption;
    case EditorChoice::Editor::Wps:
        return WpsOption;
    case EditorChoice::Editor::Word:
        return WordOption;
    case EditorChoice::Editor::None:
        break;
    }
    return std::nullopt;
}

bool SettingsDialogLogic::storedTurnOnAccessibility() const
{
    return m_store.mayTurnOnAccessibility();
}

EditorChoice::Editor SettingsDialogLogic::editorFor(int option)
{
    switch (option) {
    case BuiltInOption:
        return EditorChoice::Editor::BuiltIn;
    case NotepadOption:
        return EditorChoice::Editor::Notepad;
    case WpsOption:
        return EditorChoice::Editor::Wps;
    case WordOption:
        return EditorChoice::Editor::Word;
    default:
        return EditorChoice::Editor::None;
    }
}

bool SettingsDialogLogic::createFolderLevels(const QString &path)
{
    const QString levels = FolderPath::withTrailingSlash(QDir::fromNativeSeparators(path));
    QDir dir;
    for (qsizetype end = levels.indexOf(u'/'); end >= 0; end = levels.indexOf(u'/', end + 1)) {
        // The root and levels that exist already fail here; the walk simply goes on.
        if (end > 0)
            dir.mkdir(levels.left(end + 1));
    }
    return QFileInfo(levels).isDir();
}

SettingsDialogLogic::ConfirmOutcome SettingsDialogLogic::confirm(const Choices &choices)
{
    // The settings file keeps no spaces around a value, so neither does the folder made for it.
    const QString folderText = choices.folderText.trimmed();
    if (folderText.isEmpty())
        return ConfirmOutcome::EmptyFolder;
    // A longer value would be read back cut, and captures would go to a cut-off folder.
    if (Gbk::encode(folderText).size() > ProfileFile::kMaxValueBytes)
        return ConfirmOutcome::FolderTooLong;
    if (!createFolderLevels(resolvedFolder(folderText)))
        return ConfirmOutcome::FolderNotCreated;

    bool saved = m_store.saveSaveFolder(folderText);
    const auto editor = choices.editorOption ? std::optional(editorFor(*choices.editorOption)) : std::nullopt;
    saved = saved && m_store.saveEditorChoice(editor);
    // Start with the system that stays off keeps its key and entry as they are: confirming only
    // to look writes no autostart entry.
    const bool autoRunTouched = choices.autoRun || storedAutoRun();
    m_settings.autoRunProgram = choices.autoRun ? std::optional(m_programPath) : std::nullopt;
    m_settings.autoOpen = choices.autoOpen;
    saved = saved && (autoRunTouched ? m_store.saveAutoRun(m_settings) : m_store.saveAutoOpen(m_settings));
    if (saved && choices.turnOnAccessibility != storedTurnOnAccessibility())
        saved = m_store.saveMayTurnOnAccessibility(choices.turnOnAccessibility);
    m_store.readSettings(m_settings);
    return saved ? ConfirmOutcome::Saved : ConfirmOutcome::NotSaved;
}

void SettingsDialogLogic::cancel()
{
    m_store.readSettings(m_settings);
}
