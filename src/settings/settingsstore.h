#pragma once

#include "settings/profilefile.h"
#include "settings/settings.h"

class AutoRunEntry;

// Reads and writes the settings file filePath.ini and keeps the start-with-system entry.
class SettingsStore final
{
public:
    // The text every read gives for a missing file, section or key.
    static QString defaultValue() { return QStringLiteral("txtPATH"); }

    SettingsStore(QString settingsFilePath, AutoRunEntry &autoRun);
    Q_DISABLE_COPY_MOVE(SettingsStore)

    QString filePath() const { return m_file.path(); }

    // Reads the four values from the file.
    void readSettings(Settings &settings) const;
    // The writes return false when the settings file could not be written; it then stays as it was.
    // Writes editorChoice.
    bool saveEditorChoice(const Settings &settings);
    // Writes autoRunPath and autoOpenFlag, sets the start-with-system entry to autoRunPath,
    // then reads the file back into `settings`, so a failed write shows as the old value.
    // The entry is left alone when the file could not be written.
    bool saveAutoRun(Settings &settings);
    // Writes autoOpenFlag alone and reads the file back.
    bool saveAutoOpen(Settings &settings);
    // The direct write of the save folder that the settings dialog makes on confirm.
    bool saveSaveFolder(const QString &folder);
    // False when the section MyFileWebSource holds the key autoAccessibility with the value
    // FALSE (in any case): the program must then never switch the desktop's accessibility on.
    bool mayTurnOnAccessibility() const;
    // Writes that choice: FALSE for never, TRUE for may.
    bool saveMayTurnOnAccessibility(bool may);
    // Sets the start-with-system entry "Notavo" to `data`; empty data switches it off.
    void setAutoRunCommand(const QString &data);

private:
    ProfileFile m_file;
    AutoRunEntry &m_autoRun;
};
