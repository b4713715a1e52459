// tarvolin-scan's command line: what the user asked for, checked.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct Options {
    std::string scenario;
    std::string adapter;
    bool haveAdapter = false;
    bool trigger = false;
    unsigned long waitMs = 0;
    bool waitGiven = false;
    bool json = false;
    bool watch = false;
    unsigned long intervalMs = 2000;
    unsigned long count = 0;  // scans a watch makes before it ends; 0: until interrupted
    std::string logPath;
    // --gps, --wigle, --kml: positions from gpsd and the map files.
    bool gps = false;
    std::string gpsHost = "localhost";
    std::string gpsPort = "2947";
    std::string wiglePath;
    std::string kmlPath;
    bool follow = false;  // --follow BSSID: that network's signal, scan by scan
    std::array<std::uint8_t, 6> followBssid{};
};

extern const char* const kUsage;

inline constexpr int kFailed = 1;
inline constexpr int kUsageError = 2;
// --trigger: no scan completed before the --wait deadline.
inline constexpr int kTimedOut = 3;

// Returns -1 when the options are good, otherwise the exit status (0 after
// --help, kUsageError with a message on stderr).
int ParseOptions(int argc, char** argv, Options& options);
