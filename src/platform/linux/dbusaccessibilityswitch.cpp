#include "platform/linux/dbusaccessibilityswitch.h"

#include "platform/linux/privatedbus.h"

#include <dbus/dbus.h>

namespace {

constexpr const char *kService = "org.a11y.Bus";
constexpr const char *kPath = "/org/a11y/bus";
constexpr const char *kPropertiesInterface = "org.freedesktop.DBus.Properties";
constexpr const char *kStatusInterface = "org.a11y.Status";
constexpr const char *kProperty = "IsEnabled";

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
    if (m_connection)
        PrivateDBus::close(m_connection);
}

bool DBusAccessibilitySwitch::connect()
{
    if (m_connection)
        return dbus_connection_get_is_connected(m_connection);
    m_connection = PrivateDBus::open(PrivateDBus::sessionBusAddress());
    return m_connection != nullptr;
}

std::optional<bool> DBusAccessibilitySwitch::isEnabled()
{
    if (!connect())
        return std::nullopt;
    DBusMessage *reply = PrivateDBus::callAndWait(m_connection, propertyCall("Get"));
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
    if (!built) {
        dbus_message_unref(call);
        return false;
    }
    DBusMessage *reply = PrivateDBus::callAndWait(m_connection, call);
    if (!reply)
        return false;
    dbus_message_unref(reply);
    return true;
}
