#include "settings/settingsstore.h"

#include "platform/autorunentry.h"

namespace {

const QString kAppSection = QStringLiteral("MyFileApp");
const QString kAutoRunSection = QStringLiteral("MyFileAotoRun");
const QString kAutoEditSection = QStringLiteral("MyFileAutoEdit");
const QString kSaveFolderKey = QStringLiteral("saveFilePATH");
const QString kEditorKey = QStringLiteral("editFilePATH");
const QString kAutoRunKey = QStringLiteral("runFileName");
const QString kAutoOpenKey = QStringLiteral("editFileName");
const QString kWebSourceSection = QStringLiteral("MyFileWebSource");
const QString kAccessibilityKey = QStringLiteral("autoAccessibility");

} // namespace

SettingsStore::SettingsStore(QString settingsFilePath, AutoRunEntry &autoRun)
    : m_file(std::move(settingsFilePath))
    , m_autoRun(autoRun)
{
}

void SettingsStore::readSettings(Settings &settings) const
{
    settings.saveFolder = m_file.read(kAppSection, kSaveFolderKey, defaultValue());
    settings.editor = EditorChoice::parse(storedEditorText());
    // The placeholder of a missing key means the user never chose: nothing starts unasked.
    const QString program = m_file.read(kAutoRunSection, kAutoRunKey, defaultValue());
    settings.autoRunProgram = program.isEmpty() || program == defaultValue() ? std::nullopt : std::optional(program);
    settings.autoOpen = EditorChoice::isAutoOpenOn(m_file.read(kAutoEditSection, kAutoOpenKey, defaultValue()));
}

QString SettingsStore::storedEditorText() const
{
    return m_file.read(kAppSection, kEditorKey, defaultValue());
}

EditorChoice::Editor SettingsStore::editorShownInDialog() const
{
    return EditorChoice::parseForDialog(storedEditorText());
}

bool SettingsStore::saveEditorChoice(std::optional<EditorChoice::Editor> editor)
{
    const bool chosen = editor && *editor != EditorChoice::Editor::None;
    return m_file.write(kAppSection, kEditorKey, chosen ? EditorChoice::textOf(*editor) : storedEditorText());
}

bool SettingsStore::saveAutoRun(Settings &settings)
{
    const QString program = settings.autoRunProgram.value_or(QString());
    const bool written = m_file.write(kAutoRunSection, kAutoRunKey, program)
                         && m_file.write(kAutoEditSection, kAutoOpenKey, EditorChoice::autoOpenText(settings.autoOpen));
    if (written)
        setAutoRunCommand(program);
    readSettings(settings);
    return written;
}

bool SettingsStore::saveAutoOpen(Settings &settings)
{
    const bool written = m_file.write(kAutoEditSection, kAutoOpenKey, EditorChoice::autoOpenText(settings.autoOpen));
    readSettings(settings);
    return written;
}

bool SettingsStore::saveSaveFolder(const QString &folder)
{
    return m_file.write(kAppSection, kSaveFolderKey, folder);
}

bool SettingsStore::mayTurnOnAccessibility() const
{
    return m_file.read(kWebSourceSection, kAccessibilityKey, defaultValue()).compare(QLatin1StringView("FALSE"), Qt::CaseInsensitive) != 0;
}

bool SettingsStore::saveMayTurnOnAccessibility(bool may)
{
    return m_file.write(kWebSourceSection, kAccessibilityKey, may ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

void SettingsStore::setAutoRunCommand(const QString &data)
{
    m_autoRun.setCommand(data);
}
