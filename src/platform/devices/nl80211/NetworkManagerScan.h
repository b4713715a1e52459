// Asks NetworkManager over the system bus to scan on an interface: the way an
// unprivileged desktop user starts a scan, since NetworkManager holds the
// privilege and its policy decides who may use it.
#pragma once

#include "platform/Types.h"

#include <string>

namespace platform::nl80211 {

// ERROR_SUCCESS when NetworkManager accepted the request (or a scan already
// runs); ERROR_ACCESS_DENIED when there is no system bus, NetworkManager does
// not run, does not manage the interface, or refuses the caller.
DWORD RequestNetworkManagerScan(const std::string& interfaceName);

}  // namespace platform::nl80211
