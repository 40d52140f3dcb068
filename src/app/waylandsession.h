#pragma once

#include <QByteArray>
#include <QString>

// Web mode inside a Wayland session: the program runs on X11 through XWayland, where the
// pointer over native Wayland windows and their stacking cannot be seen.
namespace WaylandSession {

// True when the program runs on the xcb platform while the session is a Wayland one.
bool runsThroughXWayland(const QString &platformName, const QByteArray &sessionType, const QByteArray &waylandDisplay);

// The message that tells the user what works there and what does not.
QString notice();

} // namespace WaylandSession
