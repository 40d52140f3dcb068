#include "settings/settingsdialoglogic.h"

#include "settings/editorchoice.h"
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
    return QDir::toNativeSeparators(m_programFolder.filePath(QStringLiteral("myText")));
}

QString SettingsDialogLogic::resolvedFolder(const QString &folderText) const
{
    return m_programFolder.resolve(QDir::fromNativeSeparators(folderText));
}

bool SettingsDialogLogic::openingCheck()
{
    m_store.readSysTem(m_settings);
    if (QFileInfo(resolvedFolder(m_settings.saveFolder)).isDir())
        return true;
    m_settings.saveFolder = defaultFolder();
    return false;
}

std::optional<int> SettingsDialogLogic::storedEditorOption() const
{
    const QString &choice = m_settings.editorChoice;
    if (choice.endsWith(EditorChoice::builtIn()))
        return BuiltInOption;
    if (EditorChoice::isNotepad(choice))
        return NotepadOption;
    if (EditorChoice::isWps(choice))
        return WpsOption;
    if (EditorChoice::isWord(choice))
        return WordOption;
    return std::nullopt;
}

bool SettingsDialogLogic::storedAutoRun() const
{
    return !m_settings.autoRunPath.isEmpty();
}

bool SettingsDialogLogic::storedAutoOpen() const
{
    return EditorChoice::isAutoOpenOn(m_settings.autoOpenFlag);
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
    QString levels = QDir::fromNativeSeparators(path);
    if (!levels.endsWith(u'/'))
        levels += u'/';
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
    if (!createFolderLevels(resolvedFolder(folderText)))
        return ConfirmOutcome::FolderNotCreated;

    m_store.saveSaveFolder(folderText);
    if (choices.editorOption)
        m_settings.editorChoice = editorChoiceFor(*choices.editorOption);
    m_store.saveEditorChoice(m_settings);
    m_settings.autoRunPath = choices.autoRun ? m_programPath : QString();
    m_settings.autoOpenFlag = choices.autoOpen ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    m_store.saveAutoRun(m_settings);
    m_store.readSysTem(m_settings);
    return ConfirmOutcome::Saved;
}

void SettingsDialogLogic::cancel()
{
    m_store.readSysTem(m_settings);
}
