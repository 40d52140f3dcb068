#pragma once

#include <QString>
#include <functional>

class Clock;
struct CurrentRecord;
class Dialogs;
class RecordStore;

// What the editor uses from the rest of the program: the record database for documents
// saved under a new name, the clock for their date, the dialogs, and the folder the open
// dialog starts in (the save folder; empty for the dialog's own default).
struct EditorServices
{
    RecordStore &store;
    CurrentRecord &record;
    const Clock &clock;
    Dialogs &dialogs;
    std::function<QString()> openFolder;
};
