#include "platform/shellopenprompt.h"

#include "platform/dialogs.h"
#include "platform/opentarget.h"
#include "platform/shellopener.h"

bool openThroughShell(const QString &text, ShellOpener &shell, Dialogs &dialogs, QWidget *parent)
{
    const OpenTarget target = OpenTarget::of(text);
    if (target.canOpen())
        return shell.open(target.target());
    const Dialogs::Icon icon =
        target.kind() == OpenTarget::Kind::NotATarget ? Dialogs::Icon::Information : Dialogs::Icon::Exclamation;
    dialogs.message(parent, Dialogs::systemTitle(), target.reason(), icon, Dialogs::Buttons::Ok);
    return false;
}
