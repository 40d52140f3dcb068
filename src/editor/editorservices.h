#pragma once

#include <QString>
#include <functional>

class Clock;
class Dialogs;

// What the editor uses from the rest of the program: the clock for the status bar's date, the
// dialogs, and the folder the open dialog starts in (the save folder; empty for the dialog's
// own default).
struct EditorServices
{
    const Clock &clock;
    Dialogs &dialogs;
    std::function<QString()> openFolder;
};
