#pragma once

#include <QDate>
#include <QString>

// One stored row of filedata. A NULL text reads as the empty text, a NULL or unreadable
// date as an invalid QDate.
struct Record
{
    qint64 rowId = 0;
    QString fileName;
    QString size;
    QString category;
    QDate date;
    QString folder;
    QString source;
};
