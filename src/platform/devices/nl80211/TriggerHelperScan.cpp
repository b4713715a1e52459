#include "platform/devices/nl80211/TriggerHelperScan.h"

namespace platform::nl80211 {

namespace {

// How often a running helper is looked at for the chain's stop request.
constexpr std::chrono::milliseconds kStopCheck{50};

}  // namespace

TriggerHelperScan::TriggerHelperScan(std::string helperPath) : m_helper(std::move(helperPath))
{
}

DWORD TriggerHelperScan::Request(const std::string& interfaceName, std::stop_token stop, std::string& why)
{
    return RequestOn(interfaceName, 0, stop, why);
}

DWORD TriggerHelperScan::RequestOn(const std::string& interfaceName, std::uint32_t frequencyMhz, std::stop_token stop,
                                   std::string& why)
{
    if (m_helper.Path().empty()) {
        why = "the scan helper tarvolin-trigger is not installed";
        return ERROR_ACCESS_DENIED;
    }
    m_helper.Start(interfaceName, frequencyMhz);
    DWORD result = ERROR_BUSY;
    while ((result = m_helper.Wait(interfaceName, kStopCheck)) == ERROR_BUSY) {
        // The helper is reaped on its own thread even when nobody waits.
        if (stop.stop_requested())
            return ERROR_CANCELLED;
    }
    switch (result) {
    case ERROR_SUCCESS: break;
    case ERROR_ACCESS_DENIED: why = "the scan helper " + m_helper.Path() + " cannot be started"; break;
    case ERROR_PRIVILEGE_NOT_HELD: why = "the scan helper " + m_helper.Path() + " lacks cap_net_admin"; break;
    case ERROR_NOT_READY: why = "the interface is down"; break;
    case ERROR_NOT_SUPPORTED: why = "the interface is not a wireless interface"; break;
    case ERROR_INVALID_PARAMETER:
        if (frequencyMhz != 0) {
            why = "the radio has no channel at " + std::to_string(frequencyMhz) + " MHz to scan";
            break;
        }
        [[fallthrough]];
    default: why = "the scan helper " + m_helper.Path() + " could not start a scan"; break;
    }
    return result;
}

}  // namespace platform::nl80211
