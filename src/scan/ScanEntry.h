// One network as heard by one scan.
#pragma once

#include "platform/Types.h"

// The strongest protection a network offers, weakest first. OWE encrypts
// without authenticating: above the broken ciphers, below a shared secret.
enum : BYTE { SECURITY_OPEN, SECURITY_WEP, SECURITY_WPA, SECURITY_OWE, SECURITY_WPA2, SECURITY_WPA3 };

struct ScanEntry {
    BYTE mac[6];               // BSSID, byte for byte from the driver's record
    WCHAR ssid[32];            // name; not terminated when all 32 code units are used
    LONG rssi;                 // signal in dBm
    ULONG channel;             // 802.11 channel number
    ULONG infrastructureMode;  // Ndis802_11IBSS, Ndis802_11Infrastructure or Ndis802_11AutoUnknown
    ULONG privacy;             // 0 open, non-zero secured
    ULONG frequency;           // centre frequency of the primary channel, MHz; 0 when unknown
    ULONG width;               // channel width, MHz: 20, 40, 80, 160 or 320
    BYTE security;             // SECURITY_OPEN to SECURITY_WPA3, from the elements or else the privacy bit
    BYTE enterprise;           // 1 when that protection authenticates through 802.1X
};
