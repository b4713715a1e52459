// One access point as a scan hears it: MAC 02:00:00:00:00:<number>, named
// "N" and its number, on channel 6.
#pragma once

#include "scan/ScanEntry.h"

inline ScanEntry NetworkEntry(BYTE number, LONG rssi)
{
    ScanEntry e{};
    e.mac[0] = 2;
    e.mac[5] = number;
    e.ssid[0] = u'N';
    e.ssid[1] = static_cast<WCHAR>(u'0' + number);
    e.rssi = rssi;
    e.channel = 6;
    e.infrastructureMode = 1;
    return e;
}
