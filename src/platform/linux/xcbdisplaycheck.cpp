#include "platform/displaycheck.h"

#include <xcb/xcb.h>

bool canReachDisplay(QString *display)
{
    const QByteArray name = qgetenv("DISPLAY");
    if (display)
        *display = QString::fromLocal8Bit(name);
    if (name.isEmpty())
        return false;
    xcb_connection_t *connection = xcb_connect(name.constData(), nullptr);
    const bool reached = connection && xcb_connection_has_error(connection) == 0;
    if (connection)
        xcb_disconnect(connection);
    return reached;
}
