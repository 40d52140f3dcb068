#pragma once

#include <QString>
#include <functional>

class RecordStore;

// Adds a row for every text file under the save folder (subfolders included) that no row
// names (the same file by folder and name): 文件名 the name without ".txt" (a ".TXT" file keeps
// its extension, as the editor's rows do, so that folder and name still give the file), 大小 the
// character count as the record writer counts it, 类别 "默认文本", 记录时间 the file's
// modification date, 存放地址 the folder with its trailing separator, 资料来源 empty.
// Never deletes or changes a row, never opens anything but a regular file, and reads each file
// piece by piece, so any folder is safe to rebuild from.
class RecordRebuilder final
{
public:
    struct Result
    {
        int added = 0;
        int alreadyRecorded = 0;
        // Skipped, by reason.
        int unreadableName = 0; // the name is not valid in the system's encoding
        int notRegularFile = 0; // a pipe, socket, device or broken link
        int notText = 0;        // any other name than *.txt or *.TXT
        int unreadable = 0;     // could not be read
        int newerThanRebuild = 0; // written after the rebuild began (a capture made meanwhile)
        // Stopped by the caller: `left` files were found but not yet taken; when the folder
        // was not yet listed to its end, more may be left.
        bool stopped = false;
        bool folderListed = true;
        int left = 0;
        bool ok = true;
        // Why the folder or the database could not be used.
        QString error;
    };

    // Stops soon (between files, and between pieces of a large file) when `keepGoing`, when
    // given, says so. A file stopped in the middle gets no row.
    static Result rebuild(RecordStore &store, const QString &saveFolder, const std::function<bool()> &keepGoing = {});

    // The message the user reads: what was done, what was skipped and why, what was left.
    static QString report(const Result &result);
};
