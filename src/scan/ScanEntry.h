// One network as heard by one scan.
#pragma once

#include "platform/Types.h"

struct ScanEntry {
    BYTE mac[6];               // BSSID, byte for byte from the driver's record
    WCHAR ssid[32];            // name; not terminated when all 32 code units are used
    LONG rssi;                 // signal in dBm
    ULONG channel;             // 802.11 channel number
    ULONG infrastructureMode;  // 0 ad hoc, 1 infrastructure, 2 automatic
    ULONG privacy;             // 0 open, non-zero secured
};
