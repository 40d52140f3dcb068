#pragma once

#include <QString>
#include <QtGlobal>

// What the editor's frame, its document windows and its commands share. Other subsystems
// touch only openFilePath (through EditorController::openInEditor).
struct EditorState
{
    qint16 docCount = 0;      // open document windows
    qint16 newDocNumber = 1;  // number in the caption of the last new document
    qint16 openMode = 0;      // how the next window starts: 0 new, 1 load openFilePath
    QString openFilePath;     // the file the next window loads when openMode is 1
    QString activeDocPath;    // where "保存(&S)" writes; empty asks for a name

    // The counters are 16-bit: a command that would raise one past 32767 opens no window.
    static bool canRaise(qint16 counter) { return counter < 32767; }
};
