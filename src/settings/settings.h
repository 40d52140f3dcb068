#pragma once

#include "settings/editorchoice.h"

#include <QString>
#include <optional>

// The user settings as the program uses them, read once from the settings file; the texts the
// file holds are the settings store's alone.
struct Settings
{
    // As stored: the placeholder of a missing key, an empty text and relative folders are
    // SaveFolder's to interpret.
    QString saveFolder;
    // The editor records open in; None when the stored text names none.
    EditorChoice::Editor editor = EditorChoice::Editor::None;
    // What starts with the system; none when that is off (stored empty, or never chosen).
    std::optional<QString> autoRunProgram;
    // Open a record in the chosen editor right after it is stored.
    bool autoOpen = false;
};
