#pragma once

#include <QByteArray>

struct DBusConnection;
struct DBusMessage;

// Private libdbus connections to the session bus and the accessibility bus, shared by the
// accessibility switch and the frame activations. Private, so that libdbus's shared connection
// (which other libraries in the process may hold) is never closed under them, and set not to
// end the program when the bus goes away, as libdbus would by default.
namespace PrivateDBus {

// The session bus's address: the environment's, or the usual socket in the runtime folder.
// Never libdbus's own fallback, which would launch a bus of its own. Empty for none.
QByteArray sessionBusAddress();
// The accessibility bus's address, as the session bus's launcher tells it; empty for none.
QByteArray accessibilityBusAddress();

// A registered connection to `address`; null when the address is empty or cannot be reached.
DBusConnection *open(const QByteArray &address);
void close(DBusConnection *connection);

// Sends `call` (taken over, may be null) and waits for its answer a bounded while: a bus that
// hangs must not hold the caller for long. Null on any failure.
DBusMessage *callAndWait(DBusConnection *connection, DBusMessage *call);

} // namespace PrivateDBus
