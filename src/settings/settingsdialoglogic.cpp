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
    const QString &choice = m_settings.editorChoice;
    if (choice.endsWith(EditorChoice::builtIn()))
        return BuiltInOption;
    switch (EditorChoice::parse(choice)) {
    case EditorChoice::Editor::Notepad:
        return NotepadOption;
    case EditorChoice::Editor::Wps:
        return WpsOption;
    case EditorChoice::Editor::Word:
        return WordOption;
    default:
        return std::nullopt;
    }
}

bool SettingsDialogLogic::storedAutoRun() const
{
    return isAutoRunOn(m_settings.autoRunPath);
}

bool SettingsDialogLogic::isAutoRunOn(const QString &autoRunPath)
{
    // The placeholder of a missing key means the user never chose: nothing starts unasked.
    return !autoRunPath.isEmpty() && autoRunPath != SettingsStore::defaultValue();
}

bool SettingsDialogLogic::storedAutoOpen() const
{
    return EditorChoice::isAutoOpenOn(m_settings.autoOpenFlag);
}

bool SettingsDialogLogic::storedTurnOnAccessibility() const
{
    return m_store.mayTurnOnAccessibility();
}

QString SettingsDialogLogic::editorChoiceFor(int option)
{
    switch (option) {
    case BuiltInOption:
        return EditorChoice::builtIn();
    case NotepadOption:
        return EditorChoice::notepad();
    case WpsOption:
        return EditorChoice::wps();
    case WordOption:
        return EditorChoice::word();
    default:
        return {};
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
    if (choices.editorOption)
        m_settings.editorChoice = editorChoiceFor(*choices.editorOption);
    saved = saved && m_store.saveEditorChoice(m_settings);
    // Start with the system that stays off keeps its key and entry as they are: confirming only
    // to look writes no autostart entry.
    const bool autoRunTouched = choices.autoRun || storedAutoRun();
    m_settings.autoRunPath = choices.autoRun ? m_programPath : QString();
    m_settings.autoOpenFlag = choices.autoOpen ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
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
