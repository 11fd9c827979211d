#pragma once

namespace pelmar::cli {

// Tells the service manager that started the program (systemd, Type=notify) a state such as
// "READY=1": one datagram to the unix socket in $NOTIFY_SOCKET, a name starting with "@" being
// an abstract one. False when there is no such socket or the datagram could not be sent. Never
// throws.
bool notifyServiceManager(const char* state);

} // namespace pelmar::cli
