// The text forms tarvolin-scan prints.
#pragma once

#include "scan/ScanEntry.h"

#include <string>

// One network as a tab-separated line without its newline: MAC, channel,
// rssi, mode (AP, PEER or ?), privacy (secured or open), and the name in
// UTF-8 with control characters written as \xNN.
std::string FormatScanEntry(const ScanEntry& entry);
