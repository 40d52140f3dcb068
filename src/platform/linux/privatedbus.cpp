#include "platform/linux/privatedbus.h"

#include <QFileInfo>
#include <QString>
#include <QtGlobal>

#include <dbus/dbus.h>

namespace {

// The launcher and the registry answer at once; anything slower is a bus that hangs.
constexpr int kTimeoutMs = 2000;

} // namespace

namespace PrivateDBus {

QByteArray sessionBusAddress()
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty())
        return address;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QFileInfo::exists(QString::fromLocal8Bit(runtime + "/bus")))
        return {};
    return "unix:path=" + runtime + "/bus";
}

QByteArray accessibilityBusAddress()
{
    DBusConnection *session = open(sessionBusAddress());
    if (!session)
        return {};
    QByteArray address;
    DBusMessage *reply = callAndWait(
        session, dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
    const char *text = nullptr;
    if (reply && dbus_message_get_args(reply, nullptr, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID))
        address = text;
    if (reply)
        dbus_message_unref(reply);
    close(session);
    return address;
}

DBusConnection *open(const QByteArray &address)
{
    if (address.isEmpty())
        return nullptr;
    DBusError error;
    dbus_error_init(&error);
    DBusConnection *connection = dbus_connection_open_private(address.constData(), &error);
    if (connection) {
        dbus_connection_set_exit_on_disconnect(connection, FALSE);
        if (!dbus_bus_register(connection, &error)) {
            close(connection);
            connection = nullptr;
        }
    }
    dbus_error_free(&error);
    return connection;
}

void close(DBusConnection *connection)
{
    dbus_connection_close(connection);
    dbus_connection_unref(connection);
}

DBusMessage *callAndWait(DBusConnection *connection, DBusMessage *call)
{
    if (!call)
        return nullptr;
    DBusError error;
    dbus_error_init(&error);
    DBusMessage *reply = dbus_connection_send_with_reply_and_block(connection, call, kTimeoutMs, &error);
    dbus_message_unref(call);
    dbus_error_free(&error);
    return reply;
}

} // namespace PrivateDBus
