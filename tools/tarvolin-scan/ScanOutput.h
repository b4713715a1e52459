// The text forms tarvolin-scan prints.
#pragma once

#include "platform/devices/WirelessProvider.h"
#include "scan/ScanEntry.h"

#include <string>
#include <vector>

// One network as a tab-separated line without its newline: MAC, channel,
// rssi, mode (AP, PEER or ?), privacy (secured or open), and the name in
// UTF-8 escaped as PrintableSsid does (backslash doubled, controls as \xNN
// or \u{hex}), so that every name reads back exactly. The name comes from
// the provider's record of the same BSSID in records, when there is one.
std::string FormatScanEntry(const ScanEntry& entry, const std::vector<platform::WirelessBss>& records);
