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
    settings.editorChoice = m_file.read(kAppSection, kEditorKey, defaultValue());
    settings.autoRunPath = m_file.read(kAutoRunSection, kAutoRunKey, defaultValue());
    settings.autoOpenFlag = m_file.read(kAutoEditSection, kAutoOpenKey, defaultValue());
}

bool SettingsStore::saveEditorChoice(const Settings &settings)
{
    return m_file.write(kAppSection, kEditorKey, settings.editorChoice);
}

bool SettingsStore::saveAutoRun(Settings &settings)
{
    const bool written = m_file.write(kAutoRunSection, kAutoRunKey, settings.autoRunPath)
                         && m_file.write(kAutoEditSection, kAutoOpenKey, settings.autoOpenFlag);
    if (written)
        setAutoRunCommand(settings.autoRunPath);
    readSettings(settings);
    return written;
}

bool SettingsStore::saveAutoOpen(Settings &settings)
{
    const bool written = m_file.write(kAutoEditSection, kAutoOpenKey, settings.autoOpenFlag);
    readSettings(settings);
    return written;
}

bool SettingsStore::saveSaveFolder(const QString &folder)
{
    return m_file.write(kAppSection, kSaveFolderKey, folder);
}

bool SettingsStore::mayTurnOnAccessibility() const
{
    return m_file.read(kWebSourceSection, kAccessibilityKey, defaultValue()).compare(QLatin1String("FALSE"), Qt::CaseInsensitive) != 0;
}

bool SettingsStore::saveMayTurnOnAccessibility(bool may)
{
    return m_file.write(kWebSourceSection, kAccessibilityKey, may ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

void SettingsStore::setAutoRunCommand(const QString &data)
{
    m_autoRun.setCommand(data);
}
