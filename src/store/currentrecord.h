#pragma once

#include <QString>

// The values of the next row to add. Callers fill them, then call RecordStore::addFileData.
struct CurrentRecord
{
    QString recFileName;
    QString recSize;
    QString recCategory;
    QString recFolder;
    QString recSource;
};
