// Asks NetworkManager over D-Bus to scan on an interface: the way an
// unprivileged desktop user starts a scan, since NetworkManager holds the
// privilege and its policy (polkit) decides who may use it.
#pragma once

#include "platform/devices/nl80211/ScanRequester.h"

#include <string>

namespace platform::nl80211 {

class NetworkManagerScan final : public ScanRequester {
public:
    // How long one call may go unanswered before the request counts as failed.
    static constexpr int kDefaultCallTimeoutMs = 10000;

    // busAddress: the D-Bus address NetworkManager is reached at; empty for
    // the system bus.
    explicit NetworkManagerScan(std::string busAddress = {}, int callTimeoutMs = kDefaultCallTimeoutMs);
    ~NetworkManagerScan() override;
    NetworkManagerScan(const NetworkManagerScan&) = delete;
    NetworkManagerScan& operator=(const NetworkManagerScan&) = delete;

    // Looks the interface up (GetDeviceByIpIface), then calls RequestScan on
    // it. ERROR_ACCESS_DENIED when there is no bus, NetworkManager does not
    // run, does not manage the interface, or refuses the caller;
    // ERROR_TIMEOUT when it does not answer in time (each call's timeout, or
    // the deadline, whichever comes first).
    DWORD Request(const std::string& interfaceName, std::stop_token stop, std::string& why,
                  Deadline deadline = Deadline::max()) override;

private:
    std::string m_busAddress;
    int m_callTimeoutMs;
    // This object's own connection, opened at the first request.
    std::string m_connectionName;
    bool m_connected = false;
};

}  // namespace platform::nl80211
