// A deterministic radio that answers from a scenario instead of hardware.
// Each adapter has its own position on the scenario's timeline, and a scan
// request on an adapter moves it one step on: reading the list and then
// requesting a scan (as a scan tick does) reads the step before the request.
#pragma once

#include "platform/devices/WirelessProvider.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Reads a scenario file. On failure returns nullptr and sets error to a
// one-line message naming the file and, for a malformed scenario, the line.
std::shared_ptr<WirelessProvider> MakeSimulatedProvider(const std::string& path, std::string& error);

// The same from the scenario's text; the message names only the line.
std::shared_ptr<WirelessProvider> MakeSimulatedProviderFromText(std::string_view text, std::string& error);

// The frequencies each scan request on the adapter named, oldest first (an
// empty list asked for every channel); nothing when provider is no simulated
// radio. Scans on the simulated radio end as soon as they are asked for.
std::vector<std::vector<std::uint32_t>> SimulatedScanRequests(WirelessProvider& provider, const std::string& adapter);

}  // namespace platform
