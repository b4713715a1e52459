// The last way to have a scan started without privilege of our own: running
// tarvolin-trigger, the small helper that alone may hold cap_net_admin. It
// runs on the request chain's thread, never the window's.
#pragma once

#include "platform/devices/nl80211/ScanRequester.h"
#include "platform/devices/nl80211/TriggerHelper.h"

namespace platform::nl80211 {

class TriggerHelperScan final : public ScanRequester {
public:
    // helperPath: the helper's file (TriggerHelper::LocateForThisProgram);
    // empty when there is none.
    explicit TriggerHelperScan(std::string helperPath);

    DWORD Request(const std::string& interfaceName, std::stop_token stop, std::string& why,
                  Deadline deadline = Deadline::max()) override;
    bool CanLimit() const override { return true; }
    DWORD RequestOn(const std::string& interfaceName, std::uint32_t frequencyMhz, std::stop_token stop,
                    std::string& why, Deadline deadline = Deadline::max()) override;

private:
    TriggerHelper m_helper;
};

}  // namespace platform::nl80211
