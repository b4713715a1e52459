// The log a walk leaves for WiGLE: its CSV format version 1.6, a pre-header
// line that names the program and the device, the column header, then one
// row per network each time a scan hears it at a known position. Each scan's
// rows are appended in one write and reach the disk before the next scan, so
// a process killed mid-walk leaves a file that still parses, missing at most
// that scan's rows.
#pragma once

#include "tools/tarvolin-scan/GpsReader.h"
#include "tools/tarvolin-scan/NetworkView.h"

#include <chrono>
#include <string>
#include <vector>

class WigleLog {
public:
    using Clock = std::chrono::system_clock;

    // What the pre-header line says of the program and the machine.
    struct Source {
        std::string appRelease;  // the program's version
        std::string model;       // the machine's model, as its firmware names it, else uname -m
        std::string release;     // the system's version: the kernel's release (uname -r)
        std::string device;      // the wireless adapter
        std::string board;       // the processor's architecture (uname -m)
        std::string brand;       // the machine's maker, as its firmware names it
    };

    static constexpr const char* kColumns = "MAC,SSID,AuthMode,FirstSeen,Channel,Frequency,RSSI,CurrentLatitude,"
                                            "CurrentLongitude,AltitudeMeters,AccuracyMeters,RCOIs,MfgrId,Type";

    WigleLog(std::string path, Source source);
    ~WigleLog();
    WigleLog(const WigleLog&) = delete;
    WigleLog& operator=(const WigleLog&) = delete;

    // Opens the log before the first scan. A missing or empty file gets the
    // two header lines; an existing WiGLE 1.6 log is appended to (a last row
    // cut short by a crash is dropped first); any other file is refused, so
    // that nothing is appended to a file that is not such a log. On failure
    // error names the cause.
    bool Open(std::string& error);

    // Appends one scan's networks, all placed at fix, heard at time.
    bool Append(const std::vector<NetworkView>& scan, const GpsFix& fix, Clock::time_point time, std::string& error);

    // The pre-header line and the column header, each with its line end.
    static std::string Header(const Source& source);
    static std::string Row(const NetworkView& network, const GpsFix& fix, Clock::time_point time);

    // The machine's side of the source: from uname and the firmware's
    // (DMI) names of the machine. A value it cannot tell is "unknown".
    static Source LocalSource(std::string appRelease, std::string device);

private:
    std::string m_path;
    Source m_source;
    int m_fd = -1;
};

// A network's security as WiGLE writes it, in brackets: [WPA2-PSK-CCMP][ESS],
// [WPA-EAP-TKIP][WPS][ESS], [WEP][ESS], [ESS] for an open access point,
// [IBSS] for an ad hoc peer. The pairwise cipher is the one each kind
// requires (TKIP for WPA, CCMP for the rest).
std::string WigleAuthMode(const NetworkView& network);

// "YYYY-MM-DD HH:MM:SS" in UTC.
std::string WigleTime(WigleLog::Clock::time_point time);
