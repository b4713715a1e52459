// One catalogued network: its latest readings and its history.
#pragma once

#include "platform/Types.h"
#include "scan/ScanEntry.h"

struct ApRecord {
    // The first ten fields are those of ScanEntry, in the same order, with the
    // values of the scan that last reported the network.
    BYTE mac[6];               // BSSID; the record's identity, never changes
    WCHAR ssid[32];            // name; not terminated when all 32 code units are used
    LONG rssi;                 // latest signal, dBm
    ULONG channel;             // latest channel number
    ULONG infrastructureMode;  // Ndis802_11IBSS, Ndis802_11Infrastructure, anything else another mode
    ULONG privacy;             // 0 open, non-zero secured
    ULONG frequency;           // latest centre frequency, MHz; 0 when unknown
    ULONG width;               // latest channel width, MHz
    BYTE security;             // latest strongest protection, SECURITY_OPEN to SECURITY_WPA3
    BYTE enterprise;           // 1 when it authenticates through 802.1X

    LONG number;     // order of discovery: 0 for the first network heard after a clear
    BYTE active;     // 1 when the network was in the most recently merged scan
    DATE firstSeen;  // local date and time of the merge that created the record
    DATE lastSeen;   // local date and time of the latest merge that reported it
    LONG bestRssi;   // highest signal ever merged, dBm
    LONG worstRssi;  // lowest signal ever merged, dBm
};
