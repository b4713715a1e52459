// tarvolin-scan's command line: what the user asked for, checked.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct Options {
    std::string scenario;
    std::string adapter;
    bool haveAdapter = false;
    bool trigger = false;
    std::optional<unsigned long> waitMs;
    bool json = false;
    bool watch = false;
    std::optional<unsigned long> intervalMs;
    std::optional<unsigned long> count;  // scans a watch or a follow makes; unset: until interrupted
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

// Returns nothing when the options are good, otherwise the exit status (0
// after --help or --version, kUsageError with a message on stderr).
std::optional<int> ParseOptions(int argc, char** argv, Options& options);
