#pragma once

#include <QString>

// The values of a row to add, handed to RecordStore::addFileData (which adds the date).
struct CurrentRecord
{
    QString recFileName;
    QString recSize;
    QString recCategory;
    QString recFolder;
    QString recSource;
};
