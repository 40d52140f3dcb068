#pragma once

class Clock;
struct CurrentRecord;
class Dialogs;
class RecordStore;

// What the editor uses from the rest of the program: the record database for documents
// saved under a new name, the clock for their date and the dialogs.
struct EditorServices
{
    RecordStore &store;
    CurrentRecord &record;
    const Clock &clock;
    Dialogs &dialogs;
};
