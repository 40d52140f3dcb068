#pragma once

#include "platform/waylandfeatures.h"

#include <QByteArray>
#include <QString>

// The program inside a Wayland session: it runs on X11 through XWayland and uses what the
// compositor offers beside (data control for the clipboard, the layer shell for the top edge).
namespace WaylandSession {

// True when the program runs on the xcb platform while the session is a Wayland one.
bool runsThroughXWayland(const QString &platformName, const QByteArray &sessionType, const QByteArray &waylandDisplay);

struct Facts
{
    bool throughXWayland = false;
    WaylandFeatures features;
    // Pen mode reads the clipboard through data control.
    bool clipboardWatched = false;
};

// What does not work on this desktop, one statement a line, for the message window at start;
// empty where everything works. Without data control the Xwayland clipboard is pen mode's
// path, which GNOME keeps told of Wayland copies.
QString notice(const Facts &facts);

} // namespace WaylandSession
