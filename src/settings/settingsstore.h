#pragma once

#include "settings/profilefile.h"
#include "settings/settings.h"

#include <optional>

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
    // The editor the settings dialog shows as chosen for the stored text.
    EditorChoice::Editor editorShownInDialog() const;
    // The writes return false when the settings file could not be written; it then stays as it was.
    // Writes the text of the chosen editor. With none chosen the stored text is written again
    // as it reads, the placeholder of a missing key included, so a text that names no editor
    // keeps its value.
    bool saveEditorChoice(std::optional<EditorChoice::Editor> editor);
    // Writes autoRunProgram (the empty text when off) and autoOpen ("TRUE" or "FALSE"), sets the
    // start-with-system entry to autoRunProgram, then reads the file back into `settings`, so a
    // failed write shows as the old value. The entry is left alone when the file could not be written.
    bool saveAutoRun(Settings &settings);
    // Writes autoOpen alone and reads the file back.
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
    QString storedEditorText() const;

    ProfileFile m_file;
    AutoRunEntry &m_autoRun;
};
