#include "platform/devices/nl80211/TriggerHelperScan.h"

namespace platform::nl80211 {

TriggerHelperScan::TriggerHelperScan(std::string helperPath) : m_helper(std::move(helperPath))
{
}

DWORD TriggerHelperScan::Request(const std::string& interfaceName, std::stop_token stop, std::string& why,
                                 Deadline deadline)
{
    return RequestOn(interfaceName, 0, stop, why, deadline);
}

DWORD TriggerHelperScan::RequestOn(const std::string& interfaceName, std::uint32_t frequencyMhz, std::stop_token stop,
                                   std::string& why, Deadline deadline)
{
    if (m_helper.Path().empty()) {
        why = "the scan helper tarvolin-trigger is not installed";
        return ERROR_ACCESS_DENIED;
    }
    const DWORD result = m_helper.Run(interfaceName, frequencyMhz, stop, deadline);
    switch (result) {
    case ERROR_SUCCESS:
    case ERROR_CANCELLED: break;
    case ERROR_TIMEOUT: why = "the scan helper " + m_helper.Path() + " did not finish in time"; break;
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
