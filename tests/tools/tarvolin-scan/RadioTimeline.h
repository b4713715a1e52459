// What the simulated radio lets an adapter hear at each of its scans, read
// through the platform's provider as tarvolin-scan reads it, for tests that
// work out what the tool must report.
#pragma once

#include "platform/devices/SimulatedProvider.h"
#include "platform/devices/WirelessBasics.h"

#include <map>
#include <string>
#include <vector>

namespace tooltest {

// The street walk's timeline: 60 steps, one a scan, then it starts again.
inline constexpr unsigned kStreetWalkSteps = 60;

// One map per scan a watch makes, in order: each network heard, by its MAC
// address ("02:1a:..."), to its signal in dBm. A watch asks for a scan and
// reads what it heard, so its first scan reads the step after the one the
// radio starts on. Empty when the scenario does not load.
inline std::vector<std::map<std::string, int>> HeardPerScan(const std::string& scenario, const std::string& adapter,
                                                            unsigned scans, std::string& error)
{
    std::vector<std::map<std::string, int>> heard;
    const auto radio = platform::MakeSimulatedProvider(scenario, error);
    if (!radio)
        return heard;
    for (unsigned scan = 0; scan < scans; ++scan) {
        std::vector<platform::WirelessBss> networks;
        if (radio->TriggerScan(adapter) != ERROR_SUCCESS || radio->ReadScan(adapter, networks) != ERROR_SUCCESS) {
            error = "the simulated radio refused scan " + std::to_string(scan) + " on " + adapter;
            return {};
        }
        std::map<std::string, int>& step = heard.emplace_back();
        for (const platform::WirelessBss& bss : networks)
            step[platform::FormatMac(bss.bssid)] = bss.rssiDbm;
    }
    return heard;
}

}  // namespace tooltest
