#include "platform/linux/dbusaccessibilityswitch.h"

#include <QFileInfo>
#include <QtGlobal>

#include <dbus/dbus.h>

namespace {

constexpr const char *kService = "org.a11y.Bus";
constexpr const char *kPath = "/org/a11y/bus";
constexpr const char *kPropertiesInterface = "org.freedesktop.DBus.Properties";
constexpr const char *kStatusInterface = "org.a11y.Status";
constexpr const char *kProperty = "IsEnabled";
// The launcher answers at once; a bus that hangs must not hold the discovery for long.
constexpr int kTimeoutMs = 2000;

// The session bus's address: the environment's, or the usual socket in the runtime folder.
// Never libdbus's own fallback, which would launch a bus of its own.
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

DBusMessage *propertyCall(const char *method)
{
    DBusMessage *message = dbus_message_new_method_call(kService, kPath, kPropertiesInterface, method);
    if (message) {
        const char *interfaceName = kStatusInterface;
        const char *propertyName = kProperty;
        dbus_message_append_args(message, DBUS_TYPE_STRING, &interfaceName, DBUS_TYPE_STRING, &propertyName,
                                 DBUS_TYPE_INVALID);
    }
    return message;
}

} // namespace

DBusAccessibilitySwitch::~DBusAccessibilitySwitch()
{
    if (m_connection) {
        dbus_connection_close(m_connection);
        dbus_connection_unref(m_connection);
    }
}

bool DBusAccessibilitySwitch::connect()
{
    if (m_connection)
        return dbus_connection_get_is_connected(m_connection);
    const QByteArray address = sessionBusAddress();
    if (address.isEmpty())
        return false;
    DBusError error;
    dbus_error_init(&error);
    m_connection = dbus_connection_open_private(address.constData(), &error);
    if (m_connection) {
        // A bus that goes away must not end the program, as libdbus would by default.
        dbus_connection_set_exit_on_disconnect(m_connection, FALSE);
        if (!dbus_bus_register(m_connection, &error)) {
            dbus_connection_close(m_connection);
            dbus_connection_unref(m_connection);
            m_connection = nullptr;
        }
    }
    dbus_error_free(&error);
    return m_connection != nullptr;
}

std::optional<bool> DBusAccessibilitySwitch::isEnabled()
{
    if (!connect())
        return std::nullopt;
    DBusMessage *call = propertyCall("Get");
    if (!call)
        return std::nullopt;
    DBusError error;
    dbus_error_init(&error);
    DBusMessage *reply = dbus_connection_send_with_reply_and_block(m_connection, call, kTimeoutMs, &error);
    dbus_message_unref(call);
    dbus_error_free(&error);
    if (!reply)
        return std::nullopt;
    std::optional<bool> result;
    DBusMessageIter iter;
    DBusMessageIter variant;
    if (dbus_message_iter_init(reply, &iter) && dbus_message_iter_get_arg_type(&iter) == DBUS_TYPE_VARIANT) {
        dbus_message_iter_recurse(&iter, &variant);
        if (dbus_message_iter_get_arg_type(&variant) == DBUS_TYPE_BOOLEAN) {
            dbus_bool_t value = FALSE;
            dbus_message_iter_get_basic(&variant, &value);
            result = value != FALSE;
        }
    }
    dbus_message_unref(reply);
    return result;
}

bool DBusAccessibilitySwitch::setEnabled(bool enabled)
{
    if (!connect())
        return false;
    DBusMessage *call = propertyCall("Set");
    if (!call)
        return false;
    DBusMessageIter iter;
    DBusMessageIter variant;
    const dbus_bool_t value = enabled ? TRUE : FALSE;
    dbus_message_iter_init_append(call, &iter);
    const bool built = dbus_message_iter_open_container(&iter, DBUS_TYPE_VARIANT, DBUS_TYPE_BOOLEAN_AS_STRING, &variant)
        && dbus_message_iter_append_basic(&variant, DBUS_TYPE_BOOLEAN, &value)
        && dbus_message_iter_close_container(&iter, &variant);
    DBusMessage *reply = nullptr;
    if (built) {
        DBusError error;
        dbus_error_init(&error);
        reply = dbus_connection_send_with_reply_and_block(m_connection, call, kTimeoutMs, &error);
        dbus_error_free(&error);
    }
    dbus_message_unref(call);
    if (!reply)
        return false;
    dbus_message_unref(reply);
    return true;
}
