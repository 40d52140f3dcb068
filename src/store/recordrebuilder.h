#pragma once

#include <QString>
#include <functional>

class RecordStore;

// Adds a row for every ".txt" file under the save folder (subfolders included) that no row
// names (the same file by folder and name): 文件名 the name without ".txt", 大小 the character
// count as the record writer counts it, 类别 "默认文本", 记录时间 the file's modification date,
// 存放地址 the folder with its trailing separator, 资料来源 empty. Never deletes or changes a row.
class RecordRebuilder final
{
public:
    struct Result
    {
        int added = 0;
        int unreadable = 0;
        bool ok = true;
        // The database's reason when it could not be read or written.
        QString error;
    };

    // A broken link named like a text file counts as unreadable. Stops between files when
    // `keepGoing` (when given) says so.
    static Result rebuild(RecordStore &store, const QString &saveFolder, const std::function<bool()> &keepGoing = {});
};
