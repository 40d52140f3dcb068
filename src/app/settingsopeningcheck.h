#pragma once

#include <QString>
#include <functional>

class ProgramFolder;
class SettingsStore;
struct Settings;

// The check the settings dialog makes when it loads, run once at start-up: reads the
// settings and, when the stored save folder no longer exists, shows
// "自动存盘文件夹已被删除或改变,请重新设置！" through `showMessage`. Returns false then.
bool runSettingsOpeningCheck(const SettingsStore &store, Settings &settings, const ProgramFolder &programFolder,
                             const std::function<void(const QString &)> &showMessage);
