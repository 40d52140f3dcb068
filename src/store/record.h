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

// The file a record describes: folder + name, with ".txt" added unless the path already
// ends in ".txt" or ".TXT".
inline QString recordFilePath(const QString &folder, const QString &name)
{
    const QString path = folder + name;
    return path.endsWith(QStringLiteral(".txt")) || path.endsWith(QStringLiteral(".TXT")) ? path
                                                                                         : path + QStringLiteral(".txt");
}
