#pragma once

#include <QString>

// The four user settings as the settings file holds them.
struct Settings
{
    QString saveFolder;
    QString editorChoice;
    QString autoRunPath;
    QString autoOpenFlag;
};
