#include "tools/tarvolin-scan/Options.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#ifndef TARVOLIN_VERSION
#error "TARVOLIN_VERSION must give the program's version"
#endif

const char* const kUsage = "Usage: tarvolin-scan [--scenario FILE]\n"
                           "       tarvolin-scan [--scenario FILE] [--trigger] [--wait MS] [--json] ADAPTER\n"
                           "       tarvolin-scan [--scenario FILE] --watch [--interval MS] [--count N] [--json]\n"
                           "                     [--log FILE.csv] ADAPTER\n"
                           "       tarvolin-scan [--scenario FILE] --watch [--gps [HOST[:PORT]]]\n"
                           "                     [--wigle FILE.csv] [--kml FILE.kml] [--interval MS]\n"
                           "                     [--count N] [--json] [--log FILE.csv] ADAPTER\n"
                           "       tarvolin-scan [--scenario FILE] --follow BSSID [--count N] [--json] ADAPTER\n"
                           "\n"
                           "Without ADAPTER, lists the wireless adapters, one per line.\n"
                           "With ADAPTER, prints the networks the adapter currently holds, one per line,\n"
                           "tab-separated: MAC (aa:bb:cc:dd:ee:ff), channel, signal in dBm, mode (AP, PEER\n"
                           "or ?), privacy (secured or open), and the name in UTF-8. Names are escaped\n"
                           "so that they read back exactly: a backslash as \\\\, control characters\n"
                           "(NUL, ESC, DEL, ...) as \\xNN, C1 controls, U+2028, U+2029 and the\n"
                           "bidirectional marks as \\u{hex}, as in the watch lines and the CSV log.\n"
                           "\n"
                           "With --json, prints one JSON object per network per line (JSON Lines), with\n"
                           "bssid, ssid (UTF-8, bytes that are not UTF-8 as U+FFFD), ssid_hex, hidden,\n"
                           "frequency_mhz, channel, band (\"2.4\", \"5\", \"6\" or \"60\"), width_mhz,\n"
                           "signal_dbm, mode (ap, adhoc or unknown), security (open, wep, wpa, owe, wpa2\n"
                           "or wpa3: the strongest offered), transition (a weaker kind is admitted too,\n"
                           "as in WPA2/WPA3 mixed mode), enterprise (802.1X), wps, vendor (from the IEEE\n"
                           "registry of Debian's ieee-data; null when unknown) and last_seen_ms (how\n"
                           "long ago the radio last heard it; null when the source does not say).\n"
                           "\n"
                           "With --watch, keeps scanning and prints a line, with the time, whenever a\n"
                           "network is first heard (new), its signal moves by 5 dB or more (signal), or\n"
                           "it has been heard in none of the last two scans (gone): time, event, MAC,\n"
                           "channel, signal in dBm, security and name, tab-separated; with --json, the\n"
                           "network's JSON object with \"time\", \"scan\" (counted from 0) and \"event\"\n"
                           "added, and \"previous_signal_dbm\" for a signal event. Each scan is read as it\n"
                           "ends; without permission to start scans, the watch reads the scans others\n"
                           "start, each as it ends. Ctrl-C ends it.\n"
                           "\n"
                           "With --gps, a watch places each scan's readings at the latest fix of gpsd (2D\n"
                           "or 3D, at most 2 seconds old); --wigle and --kml keep a WiGLE log and a map of\n"
                           "them. Without gpsd or while it has no fix, scanning goes on and the readings\n"
                           "are not placed; stderr gets one line each time that changes, starting with\n"
                           "the first scan (\"placing readings at the fixes of gpsd at HOST:PORT\").\n"
                           "With --follow, finds the network BSSID where the adapter last heard it, or\n"
                           "else in a scan of every channel, then scans its channel alone, one scan after\n"
                           "another, and prints a line as each ends:\n"
                           "time, the network's signal in dBm (- when the scan did not hear it) and how\n"
                           "long the scan took in ms, tab-separated; with --json, an object with time,\n"
                           "scan, bssid, frequency_mhz, signal_dbm (null when not heard) and duration_ms.\n"
                           "Where only NetworkManager can start scans, each is a sweep of every channel\n"
                           "at NetworkManager's pace; where the channel cannot be scanned alone (60 GHz,\n"
                           "or the adapter refuses), sweeps follow the network, and stderr says so once.\n"
                           "Ctrl-C ends it.\n"
                           "\n"
                           "Options (an option's value may also follow an equals sign: --interval=500):\n"
                           "  --trigger        start a new scan, wait until it completes and print what it\n"
                           "                   heard\n"
                           "  --wait MS        with --trigger: at most MS milliseconds for the request and\n"
                           "                   its scan together (default 30000); without it: wait MS\n"
                           "                   milliseconds before reading (default 0)\n"
                           "  --json           write JSON Lines instead of tab-separated text\n"
                           "  --watch          keep scanning and report what changes\n"
                           "  --interval MS    with --watch: the least time in milliseconds from the start\n"
                           "                   of one scan to the next (default 2000; 0: each scan starts\n"
                           "                   as the one before ends)\n"
                           "  --count N        with --watch or --follow: end after N scans (default: until\n"
                           "                   Ctrl-C)\n"
                           "  --follow BSSID   follow one network (aa:bb:cc:dd:ee:ff) with scans of its\n"
                           "                   channel alone\n"
                           "  --log FILE.csv   with --watch: keep a CSV table of every network heard,\n"
                           "                   rewritten after each scan (bssid, ssid, channel,\n"
                           "                   frequency_mhz, band, security, vendor, first_seen,\n"
                           "                   last_seen, best_signal_dbm, worst_signal_dbm); text cells\n"
                           "                   are escaped as above, and one that starts with =, +, -\n"
                           "                   or @ gets a leading ' so spreadsheets take it as text;\n"
                           "                   an existing table of ours is continued, any other file\n"
                           "                   refused\n"
                           "  --gps [HOST[:PORT]]\n"
                           "                   with --watch: positions from gpsd at HOST:PORT (default\n"
                           "                   localhost:2947; also --gps=HOST[:PORT]), read through libgps\n"
                           "  --wigle FILE.csv with --watch: append a row per network to a WiGLE CSV 1.6 log\n"
                           "                   each time a scan hears it at a position (MAC, SSID, AuthMode\n"
                           "                   such as [WPA2-PSK-CCMP][ESS], first seen in UTC, channel,\n"
                           "                   frequency, RSSI, latitude, longitude, altitude, accuracy,\n"
                           "                   type WIFI), ready to upload to WiGLE; an existing WiGLE log\n"
                           "                   is continued; implies --gps\n"
                           "  --kml FILE.kml   with --watch: keep a KML map with a placemark per network\n"
                           "                   at its strongest reading, named by SSID, with security,\n"
                           "                   channel and best signal; open networks green, secured ones\n"
                           "                   red; rewritten after each placed scan; an existing map\n"
                           "                   of ours is continued, any other file refused; implies\n"
                           "                   --gps.\n"
                           "                   Names are escaped as above, and bytes that are not UTF-8\n"
                           "                   as \\xNN, in both files\n"
                           "  --scenario FILE  answer from a simulated radio described by FILE instead of\n"
                           "                   the kernel's nl80211, walking on in real time\n"
                           "                   (format: /usr/share/doc/tarvolin/scenario-format.md,\n"
                           "                   example: /usr/share/tarvolin/street-walk.scn)\n"
                           "  --help, -h       show this text\n"
                           "  --version        show the version and end\n"
                           "\n"
                           "Examples:\n"
                           "  tarvolin-scan --trigger --json wlan0 | jq -r .ssid\n"
                           "  tarvolin-scan --watch --interval 1000 --log walk.csv wlan0\n"
                           "  tarvolin-scan --watch --gps --wigle walk-wigle.csv --kml walk.kml wlan0\n"
                           "  tarvolin-scan --follow 02:00:00:00:01:00 wlan0\n"
                           "\n"
                           "Starting a scan needs NetworkManager running (it starts scans for ordinary\n"
                           "users) or the scan helper tarvolin-trigger with the network administration\n"
                           "capability, which the Debian package gives it (only the helper, never this\n"
                           "program, gets it):\n"
                           "  sudo setcap cap_net_admin+ep /usr/lib/tarvolin/tarvolin-trigger\n"
                           "Reading what the adapter holds needs no privilege.\n"
                           "Exit status: 0 on success, 1 when the scan fails, 2 for a usage error, 3 when\n"
                           "no scan completed within --wait (nothing is printed then).\n";

namespace {

constexpr unsigned long kMaxWaitMs = 600000;
constexpr unsigned long kMaxCount = 1000000000;

// Nothing when parsing goes on, otherwise the exit status to end with.
using Status = std::optional<int>;

Status UsageError(const std::string& message)
{
    std::fprintf(stderr, "tarvolin-scan: %s (see --help)\n", message.c_str());
    return kUsageError;
}

// A BSSID as six two-digit hexadecimal bytes separated by ':' or '-'.
bool ParseBssid(std::string_view text, std::array<std::uint8_t, 6>& mac)
{
    if (text.size() != 17)
        return false;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const std::string_view pair = text.substr(i * 3, 2);
        if (i > 0 && text[i * 3 - 1] != ':' && text[i * 3 - 1] != '-')
            return false;
        const auto result = std::from_chars(pair.data(), pair.data() + 2, mac[i], 16);
        if (result.ec != std::errc() || result.ptr != pair.data() + 2)
            return false;
    }
    return true;
}

bool ParseNumber(std::string_view text, unsigned long max, unsigned long& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && value <= max;
}

// HOST, HOST:PORT, [IPv6]:PORT or a bare IPv6 address.
bool ParseGpsAddress(std::string_view text, Options& options)
{
    std::string_view host = text;
    std::string_view port;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || (close + 1 < text.size() && text[close + 1] != ':'))
            return false;
        host = text.substr(1, close - 1);
        port = close + 1 < text.size() ? text.substr(close + 2) : std::string_view();
        if (close + 1 < text.size() && port.empty())
            return false;
    } else if (const std::size_t colon = text.find(':');
               colon != std::string_view::npos && text.find(':', colon + 1) == std::string_view::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (port.empty())
            return false;
    }
    if (host.empty())
        return false;
    options.gpsHost = host;
    if (!port.empty()) {
        unsigned long number = 0;
        if (!ParseNumber(port, 65535, number) || number == 0)
            return false;
        options.gpsPort = std::to_string(number);
    }
    return true;
}

// What follows an option's name on the command line. Every option that
// takes a value also takes it as "--name=VALUE", the form scripts build most
// easily and the one that leaves no doubt where a value ends.
enum class Takes {
    Nothing,
    // "--name=VALUE" or the next word, whatever it is: "--wait -5" is a wait
    // that is out of range, not two options.
    Value,
    // "--name=VALUE", or the next word when that is no option and the adapter
    // is named already or comes after it, so that "--gps wlan0" at the end
    // still names the adapter.
    OptionalValue,
};

// The value an option was given: nothing for an option that takes none, or
// an optional value left out.
using Value = std::optional<std::string_view>;

struct OptionRow {
    std::string_view name;
    Takes takes;
    // Sets what the option asks for in the options; name is the row's own,
    // for the messages.
    Status (*apply)(std::string_view name, Value value, Options& options);
    // What a missing value is told as, when not "NAME needs a value".
    std::string_view missing = {};
};

Status ShowHelp(std::string_view, Value, Options&)
{
    std::fputs(kUsage, stdout);
    return 0;
}

Status ShowVersion(std::string_view, Value, Options&)
{
    std::printf("Tarvolin %s\n", TARVOLIN_VERSION);
    return 0;
}

template <bool Options::*Flag> Status SetFlag(std::string_view, Value, Options& options)
{
    options.*Flag = true;
    return std::nullopt;
}

template <std::optional<unsigned long> Options::*Field>
Status SetMilliseconds(std::string_view name, Value value, Options& options)
{
    unsigned long ms = 0;
    if (!ParseNumber(*value, kMaxWaitMs, ms))
        return UsageError(std::string(name) + " takes milliseconds from 0 to " + std::to_string(kMaxWaitMs));
    options.*Field = ms;
    return std::nullopt;
}

Status SetCount(std::string_view name, Value value, Options& options)
{
    unsigned long count = 0;
    if (!ParseNumber(*value, kMaxCount, count) || count == 0)
        return UsageError(std::string(name) + " takes a number of scans from 1 to " + std::to_string(kMaxCount));
    options.count = count;
    return std::nullopt;
}

// A file to read or write: an empty name is a mistake, not "no file" (no
// scenario would mean the real radio).
template <std::string Options::*Path> Status SetFile(std::string_view name, Value value, Options& options)
{
    if (value->empty())
        return UsageError(std::string(name) + " needs a file name");
    options.*Path = *value;
    return std::nullopt;
}

constexpr std::string_view kFollowNeedsBssid = "--follow needs a BSSID such as 02:00:00:00:01:00";

Status SetFollow(std::string_view, Value value, Options& options)
{
    if (!ParseBssid(*value, options.followBssid))
        return UsageError(std::string(kFollowNeedsBssid));
    options.follow = true;
    return std::nullopt;
}

Status SetGps(std::string_view name, Value value, Options& options)
{
    options.gps = true;
    if (value && !ParseGpsAddress(*value, options))
        return UsageError(std::string(name) + " takes HOST, HOST:PORT or [ADDRESS]:PORT, not " + std::string(*value));
    return std::nullopt;
}

// Every option the tool takes: a new one is a row here, with its lines in
// kUsage and in the manual page.
constexpr OptionRow kOptions[] = {
    {"--trigger", Takes::Nothing, SetFlag<&Options::trigger>},
    {"--wait", Takes::Value, SetMilliseconds<&Options::waitMs>},
    {"--json", Takes::Nothing, SetFlag<&Options::json>},
    {"--watch", Takes::Nothing, SetFlag<&Options::watch>},
    {"--interval", Takes::Value, SetMilliseconds<&Options::intervalMs>},
    {"--count", Takes::Value, SetCount},
    {"--follow", Takes::Value, SetFollow, kFollowNeedsBssid},
    {"--log", Takes::Value, SetFile<&Options::logPath>},
    {"--gps", Takes::OptionalValue, SetGps},
    {"--wigle", Takes::Value, SetFile<&Options::wiglePath>},
    {"--kml", Takes::Value, SetFile<&Options::kmlPath>},
    {"--scenario", Takes::Value, SetFile<&Options::scenario>},
    {"--help", Takes::Nothing, ShowHelp},
    {"-h", Takes::Nothing, ShowHelp},
    {"--version", Takes::Nothing, ShowVersion},
};

// The row of an option, given as NAME or NAME=VALUE.
const OptionRow* FindOption(std::string_view argument)
{
    for (const OptionRow& row : kOptions) {
        if (argument == row.name ||
            (argument.starts_with(row.name) && argument.substr(row.name.size()).starts_with('=')))
            return &row;
    }
    return nullptr;
}

// The option's value from NAME=VALUE or the words after it, moving i past
// what it took.
Status ReadValue(int argc, char** argv, int& i, const Options& options, const OptionRow& row, Value& value)
{
    const std::string_view argument = argv[i];
    if (argument.size() > row.name.size()) {
        // "--json=yes" is a mistake in an option this tool knows, not an
        // unknown option.
        if (row.takes == Takes::Nothing)
            return UsageError(std::string(row.name) + " takes no value");
        value = argument.substr(row.name.size() + 1);
    } else if (row.takes == Takes::Value) {
        if (i + 1 >= argc)
            return UsageError(row.missing.empty() ? std::string(row.name) + " needs a value"
                                                  : std::string(row.missing));
        value = argv[++i];
    } else if (row.takes == Takes::OptionalValue && i + 1 < argc && argv[i + 1][0] != '-' &&
               (options.haveAdapter || i + 2 < argc)) {
        value = argv[++i];
    }
    return std::nullopt;
}

// The map options go with --watch, their files apart from each other and
// from the CSV log; a map file without --gps asks gpsd on this machine.
Status CheckMapOptions(Options& options)
{
    const bool maps = !options.wiglePath.empty() || !options.kmlPath.empty();
    if (!options.watch && (options.gps || maps))
        return UsageError("--gps, --wigle and --kml go with --watch");
    const std::string paths[] = {options.logPath, options.wiglePath, options.kmlPath};
    for (std::size_t a = 0; a < std::size(paths); ++a) {
        for (std::size_t b = a + 1; b < std::size(paths); ++b) {
            if (!paths[a].empty() && paths[a] == paths[b])
                return UsageError("--log, --wigle and --kml need files of their own");
        }
    }
    options.gps = options.gps || maps;
    return std::nullopt;
}

// Which options go together, once all of them are read.
Status CheckCombinations(Options& options)
{
    const bool wait = options.waitMs.has_value();
    const bool interval = options.intervalMs.has_value();
    if (options.follow && (options.watch || options.trigger || wait || interval || !options.logPath.empty()))
        return UsageError("--follow goes with --count and --json only");
    if (!options.watch && (interval || (options.count.has_value() && !options.follow) || !options.logPath.empty()))
        return UsageError("--interval, --count and --log go with --watch");
    if (options.follow && !options.haveAdapter)
        return UsageError("--follow needs an ADAPTER");
    if (options.watch && wait)
        return UsageError("--wait does not go with --watch (use --interval)");
    if ((options.watch || options.json) && !options.haveAdapter)
        return UsageError(std::string(options.watch ? "--watch" : "--json") + " needs an ADAPTER");
    return CheckMapOptions(options);
}

}  // namespace

std::optional<int> ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const OptionRow* row = FindOption(argument);
        if (row == nullptr) {
            if (argument.starts_with("-") && argument != "-")
                return UsageError("unknown option " + std::string(argument));
            if (options.haveAdapter)
                return UsageError("only one adapter may be named");
            options.adapter = argument;
            options.haveAdapter = true;
            continue;
        }
        Value value;
        if (const Status status = ReadValue(argc, argv, i, options, *row, value))
            return status;
        if (const Status status = row->apply(row->name, value, options))
            return status;
    }
    return CheckCombinations(options);
}
