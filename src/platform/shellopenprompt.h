#pragma once

#include <QString>

class Dialogs;
class QWidget;
class ShellOpener;

// Opens `text` through the shell when OpenTarget allows it; otherwise says why in a
// "系统提示：" message box. Returns whether the shell was asked to open it.
bool openThroughShell(const QString &text, ShellOpener &shell, Dialogs &dialogs, QWidget *parent);
