// tarvolin-scan's modes for scripts and logs, run as a separate process:
// JSON Lines, watch mode on the simulated street walk, the CSV log.
#include "ToolRunner.h"

#include "RadioTimeline.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <thread>

namespace {

using namespace tooltest;
using nlohmann::json;

std::vector<json> JsonLines(const std::string& text)
{
    std::vector<json> objects;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(json::accept(line)) << line;
        if (json::accept(line))
            objects.push_back(json::parse(line));
    }
    return objects;
}

bool HaveIeeeData()
{
    return std::filesystem::exists("/usr/share/ieee-data/oui.txt");
}

TEST(ScanToolJson, OneObjectPerNetworkWithEveryDetail)
{
    const std::string path = WriteScenario(
        "json.scn",
        "adapter wlan0 wireless\n"
        "network 3c:a6:2f:00:00:01 ssid=\"Caf\xc3\xa9\" channel=6 security=wpa3 transition wps width=40 signal=0:-40\n"
        "network 02:00:00:00:00:02 ssid=hex:4eff74 channel=36 security=wpa2 enterprise width=160 signal=0:-41\n"
        "network 02:00:00:00:00:03 ssid=hex:000000 freq=5975 security=owe width=320 adhoc signal=0:-42\n"
        "network 00:00:00:00:00:04 ssid=\"\" channel=11 secured signal=0:-43\n");
    const Result result = RunTool({"--scenario", path, "--json", "wlan0"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<json> objects = JsonLines(result.out);
    ASSERT_EQ(objects.size(), 4u);

    // Every field, in the order the help text gives them.
    std::vector<std::string> keys;
    const auto ordered = nlohmann::ordered_json::parse(result.out.substr(0, result.out.find('\n')));
    for (const auto& item : ordered.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"bssid", "ssid", "ssid_hex", "hidden", "frequency_mhz", "channel", "band",
                                              "width_mhz", "signal_dbm", "mode", "security", "transition", "enterprise",
                                              "wps", "vendor", "last_seen_ms"}));
    const json& first = objects[0];
    EXPECT_EQ(first["bssid"], "3c:a6:2f:00:00:01");
    EXPECT_EQ(first["ssid"], "Caf\xc3\xa9");
    EXPECT_EQ(first["ssid_hex"], "436166c3a9");
    EXPECT_EQ(first["hidden"], false);
    EXPECT_EQ(first["frequency_mhz"], 2437);
    EXPECT_EQ(first["channel"], 6);
    EXPECT_EQ(first["band"], "2.4");
    EXPECT_EQ(first["width_mhz"], 40);
    EXPECT_EQ(first["signal_dbm"], -40);
    EXPECT_EQ(first["mode"], "ap");
    EXPECT_EQ(first["security"], "wpa3");
    EXPECT_EQ(first["transition"], true);
    EXPECT_EQ(first["enterprise"], false);
    EXPECT_EQ(first["wps"], true);
    EXPECT_TRUE(first.contains("last_seen_ms"));
    if (HaveIeeeData()) {
        EXPECT_NE(first["vendor"].get<std::string>().find("AVM"), std::string::npos) << first;
    }

    // Bytes that are not UTF-8 become U+FFFD; the hex keeps them.
    const json& second = objects[1];
    EXPECT_EQ(second["ssid"], "N\xef\xbf\xbdt");
    EXPECT_EQ(second["ssid_hex"], "4eff74");
    EXPECT_EQ(second["band"], "5");
    EXPECT_EQ(second["security"], "wpa2");
    EXPECT_EQ(second["enterprise"], true);
    EXPECT_EQ(second["width_mhz"], 160);
    EXPECT_TRUE(second["vendor"].is_null()) << "a locally administered address has no maker";

    // A name of zeros is hidden, as is no name at all.
    const json& third = objects[2];
    EXPECT_EQ(third["ssid"], "");
    EXPECT_EQ(third["ssid_hex"], "000000");
    EXPECT_EQ(third["hidden"], true);
    EXPECT_EQ(third["band"], "6");
    EXPECT_EQ(third["channel"], 5);
    EXPECT_EQ(third["mode"], "adhoc");
    EXPECT_EQ(third["security"], "owe");
    EXPECT_EQ(objects[3]["hidden"], true);
    EXPECT_EQ(objects[3]["security"], "wep");
}

// The events a watch must report for the scenario's timeline, computed from
// what the simulated radio lets wlan0 hear at each scan: each network is new at the first step it is heard (or
// heard again after being gone), and gone at the second step in a row it is
// not heard.
struct Expected {
    unsigned scan;
    std::string event;
    std::string bssid;
};

std::vector<Expected> PresenceEvents(const std::vector<std::map<std::string, int>>& heardPerScan)
{
    std::set<std::string> networks;
    for (const auto& scan : heardPerScan) {
        for (const auto& [bssid, signal] : scan)
            networks.insert(bssid);
    }
    std::vector<Expected> events;
    for (const std::string& bssid : networks) {
        bool present = false;
        unsigned missed = 0;
        for (unsigned step = 0; step < heardPerScan.size(); ++step) {
            const bool heard = heardPerScan[step].contains(bssid);
            if (heard && !present)
                events.push_back({step, "new", bssid});
            if (heard) {
                present = true;
                missed = 0;
            } else if (present && ++missed == 2) {
                present = false;
                events.push_back({step, "gone", bssid});
            }
        }
    }
    return events;
}

TEST(ScanToolWatch, StreetWalkEventsComeInTheScenariosOrder)
{
    const unsigned scans = kStreetWalkSteps;
    std::string error;
    const auto heard = HeardPerScan(kWalk, "wlan0", scans, error);
    ASSERT_EQ(heard.size(), scans) << error;
    const Result result = RunTool(
        {"--scenario", kWalk, "--watch", "--interval", "0", "--count", std::to_string(scans), "--json", "wlan0"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<json> events = JsonLines(result.out);

    // Scans count up; no event goes back in time.
    unsigned lastScan = 0;
    for (const json& event : events) {
        EXPECT_GE(event["scan"].get<unsigned>(), lastScan) << event;
        lastScan = event["scan"];
    }
    std::vector<Expected> expected = PresenceEvents(heard);
    std::vector<Expected> got;
    for (const json& event : events) {
        if (event["event"] != "signal")
            got.push_back({event["scan"], event["event"], event["bssid"]});
    }
    auto key = [](const Expected& e) { return std::make_tuple(e.scan, e.event, e.bssid); };
    auto byKey = [&](const Expected& a, const Expected& b) { return key(a) < key(b); };
    std::sort(expected.begin(), expected.end(), byKey);
    std::vector<Expected> sorted = got;
    std::sort(sorted.begin(), sorted.end(), byKey);
    ASSERT_EQ(sorted.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(key(sorted[i]), key(expected[i])) << i;

    // The passing car: heard at step 12, 8 dB stronger at 13, off from 14,
    // back at 46 and off again from 48; the watch's scan N reads step N + 1.
    std::vector<std::string> car;
    for (const json& event : events) {
        if (event["bssid"] == "62:45:b1:77:01:09")
            car.push_back(std::to_string(event["scan"].get<unsigned>()) + " " + event["event"].get<std::string>());
    }
    EXPECT_EQ(car, (std::vector<std::string>{"11 new", "12 signal", "14 gone", "45 new", "46 signal", "48 gone"}));
    const json* signal = nullptr;
    for (const json& event : events) {
        if (event["bssid"] == "62:45:b1:77:01:09" && event["event"] == "signal" && event["scan"] == 12)
            signal = &event;
    }
    ASSERT_NE(signal, nullptr);
    EXPECT_EQ((*signal)["previous_signal_dbm"], -80);
    EXPECT_EQ((*signal)["signal_dbm"], -72);
    EXPECT_EQ((*signal)["security"], "wpa2");
    EXPECT_EQ((*signal)["transition"], true);
}

TEST(ScanToolWatch, SignalStepsAndAbsencesAtTheirThresholds)
{
    // A: moves 4 dB (quiet), then 5 dB from the last reported value (told),
    // though no single step moved 5 dB. B: missing from one scan only (still
    // there), then from two (gone), then back (new again). Step 0 is what the
    // radio holds before the watch's first scan, which reads step 1.
    const std::string path = WriteScenario(
        "thresholds.scn", "timing sweep=1s\n"
                          "adapter wlan0 wireless\n"
                          "network 02:00:00:00:00:0a ssid=\"A\" channel=1 signal=1:-50,2:-54,3:-53,4:-55,5:-51\n"
                          "network 02:00:00:00:00:0b ssid=\"B\" channel=6 signal=1:-60,2:off,3:-60,4:off,6:-60\n");
    const Result result =
        RunTool({"--scenario", path, "--watch", "--interval", "0", "--count", "6", "--json", "wlan0"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::string> events;
    for (const json& event : JsonLines(result.out)) {
        events.push_back(std::to_string(event["scan"].get<unsigned>()) + " " + event["ssid"].get<std::string>() + " " +
                         event["event"].get<std::string>() + " " + std::to_string(event["signal_dbm"].get<int>()));
    }
    EXPECT_EQ(events, (std::vector<std::string>{"0 A new -50", "0 B new -60", "3 A signal -55", "4 B gone -60",
                                                "5 B new -60"}));
}

TEST(ScanToolWatch, TextLinesCarryTimeEventAndNetwork)
{
    const Result result = RunTool({"--scenario", kWalk, "--watch", "--interval", "0", "--count", "2", "wlan0"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::istringstream lines(result.out);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    // 2026-12-10T13:20:01.123Z<TAB>new<TAB>MAC<TAB>channel<TAB>dBm<TAB>security<TAB>name
    const std::size_t tab = line.find('\t');
    ASSERT_EQ(tab, 24u) << line;
    EXPECT_EQ(line[10], 'T');
    EXPECT_EQ(line[23], 'Z');
    EXPECT_EQ(line.substr(tab), "\tnew\t3c:a6:2f:10:22:31\t6\t-57\twpa2\tFRITZ!Box 7530 XY");
}

// Waits until the file exists and holds at least `rows` lines, or 20 s pass.
bool WaitForRows(const std::string& path, std::size_t rows)
{
    for (int i = 0; i < 2000; ++i) {
        const std::string text = ReadFile(path);
        if (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= rows)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// On a radio that holds nothing yet, the watch's first reading is what the
// scan it asked for heard, not the empty list from before it.
TEST(ScanToolWatch, TheFirstReadingIsTheScanTheWatchAskedFor)
{
    const std::string path = WriteScenario("fresh.scn", "adapter wlan0 wireless\n"
                                                        "network 02:00:00:00:00:0c ssid=\"C\" channel=1 "
                                                        "signal=0:off,1:-50\n");
    const Result result =
        RunTool({"--scenario", path, "--watch", "--interval", "0", "--count", "1", "--json", "wlan0"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<json> events = JsonLines(result.out);
    ASSERT_EQ(events.size(), 1u) << result.out;
    EXPECT_EQ(events[0]["scan"], 0);
    EXPECT_EQ(events[0]["event"], "new");
    EXPECT_EQ(events[0]["signal_dbm"], -50);
}

// The processor time a running process has used so far, from /proc.
double CpuSeconds(pid_t pid)
{
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    // After the name in parentheses: state, then 10 fields, then utime and stime.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    unsigned long long ticks = 0;
    for (int i = 1; i <= 13 && fields >> field; ++i) {
        if (i >= 12)
            ticks += std::stoull(field);
    }
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Without permission to start scans, the watch shows what the adapter holds,
// says once that it watches without starting scans, and then waits for scans
// others start: with --interval 0 it must not read the same list over and
// over at full speed.
TEST(ScanToolWatch, WithoutPermissionItWaitsForOthersScansInsteadOfSpinning)
{
    const std::string path = WriteScenario("denied-watch.scn", "adapter wlan0 wireless trigger=denied\n"
                                                               "network 02:00:00:00:00:0d ssid=\"D\" channel=6 "
                                                               "signal=0:-55\n");
    const std::string out = TempPath("denied-watch.out");
    const std::string err = TempPath("denied-watch.err");
    const pid_t pid = StartTool({"--scenario", path, "--watch", "--interval", "0", "--json", "wlan0"}, out, err);
    ASSERT_GT(pid, 0);
    const bool read = WaitForRows(out, 1);
    const double before = CpuSeconds(pid);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double busy = CpuSeconds(pid) - before;
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(read) << ReadFile(err);
    // A spinning watch uses the whole second; a waiting one next to nothing.
    EXPECT_LT(busy, 0.1) << "seconds of processor time in one second of waiting";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::vector<json> events = JsonLines(ReadFile(out));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0]["event"], "new");
    EXPECT_EQ(events[0]["signal_dbm"], -55);
    const std::string told = ReadFile(err);
    EXPECT_EQ(told.rfind("tarvolin-scan: watching without starting scans; no permission to start a scan on wlan0", 0),
              0u)
        << told;
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
}

// Reads the CSV file back with Python's csv module, an RFC 4180 reader that
// shares nothing with the writer; returns its rows as JSON.
json ReadCsvWithPython(const std::string& path)
{
    const std::string script = "import csv, json, sys\n"
                               "with open(sys.argv[1], newline='', encoding='utf-8', errors='strict') as f:\n"
                               "    print(json.dumps(list(csv.reader(f, strict=True))))\n";
    const std::string scriptPath = TempPath("read-csv.py");
    std::ofstream(scriptPath) << script;
    const std::string out = TempPath("csv.json");
    const int status = std::system(("python3 " + Quote(scriptPath) + " " + Quote(path) + " >" + Quote(out)).c_str());
    EXPECT_EQ(status, 0);
    const std::string text = ReadFile(out);
    return json::accept(text) ? json::parse(text) : json();
}

TEST(ScanToolLog, AnInterruptedWatchLeavesAWholeTable)
{
    const std::string log = TempPath("walk.csv");
    std::filesystem::remove(log);
    const pid_t pid = StartTool({"--scenario", kWalk, "--watch", "--interval", "5", "--log", log, "wlan0"},
                                TempPath("watch.out"), TempPath("watch.err"));
    ASSERT_GT(pid, 0);
    // By step 30 the walk has passed many networks; kill it without warning.
    const bool grown = WaitForRows(log, 25);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(grown) << ReadFile(TempPath("watch.err"));

    const std::string text = ReadFile(log);
    ASSERT_TRUE(text.ends_with("\r\n"));
    const json rows = ReadCsvWithPython(log);
    ASSERT_TRUE(rows.is_array());
    ASSERT_GE(rows.size(), 25u);
    EXPECT_EQ(rows[0], json({"bssid", "ssid", "channel", "frequency_mhz", "band", "security", "vendor", "first_seen",
                             "last_seen", "best_signal_dbm", "worst_signal_dbm"}));
    std::map<std::string, json> byBssid;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 11u) << rows[i];
        EXPECT_TRUE(byBssid.emplace(rows[i][0].get<std::string>(), rows[i]).second) << "one row per network";
        EXPECT_LE(rows[i][7].get<std::string>(), rows[i][8].get<std::string>()) << "first seen after last seen";
        EXPECT_GE(std::stoi(rows[i][9].get<std::string>()), std::stoi(rows[i][10].get<std::string>()));
    }
    const json& fritz = byBssid.at("3c:a6:2f:10:22:31");
    EXPECT_EQ(fritz[1], "FRITZ!Box 7530 XY");
    EXPECT_EQ(fritz[2], "6");
    EXPECT_EQ(fritz[3], "2437");
    EXPECT_EQ(fritz[4], "2.4");
    EXPECT_EQ(fritz[5], "wpa2");
    EXPECT_EQ(fritz[9], "-49");  // its strongest, at step 6
    EXPECT_EQ(std::string(fritz[7]).size(), 24u);
    EXPECT_EQ(byBssid.at("00:1a:2b:3c:4d:5e")[1], "\xc3\x9cnsere Stra\xc3\x9f"
                                                  "e");
    if (HaveIeeeData()) {
        // A maker's name with a comma in it comes back whole.
        EXPECT_EQ(byBssid.at("50:c7:bf:05:44:ab")[6], "TP-LINK TECHNOLOGIES CO.,LTD.");
    }
}

TEST(ScanToolLog, CtrlCEndsTheWatchCleanly)
{
    const std::string log = TempPath("ctrl-c.csv");
    std::filesystem::remove(log);
    const std::string out = TempPath("ctrl-c.out");
    const pid_t pid = StartTool({"--scenario", kWalk, "--watch", "--interval", "50", "--log", log, "wlan0"}, out,
                                TempPath("ctrl-c.err"));
    ASSERT_GT(pid, 0);
    const bool written = WaitForRows(log, 6);
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(written);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal instead of cleanly";
    EXPECT_EQ(WEXITSTATUS(status), 0) << ReadFile(TempPath("ctrl-c.err"));
    const std::string text = ReadFile(out);
    EXPECT_TRUE(text.ends_with("\n")) << "the last line is whole";
    EXPECT_TRUE(ReadCsvWithPython(log).is_array());
}

TEST(ScanToolModes, OptionsThatDoNotFitAreRefused)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"--scenario", kWalk, "--log", "x.csv", "wlan0"},
         "tarvolin-scan: --interval, --count and --log go with --watch"},
        {{"--scenario", kWalk, "--interval", "5", "wlan0"}, "tarvolin-scan: --interval, --count and --log go with"},
        {{"--scenario", kWalk, "--watch", "--wait", "5", "wlan0"}, "tarvolin-scan: --wait does not go with --watch"},
        {{"--scenario", kWalk, "--watch"}, "tarvolin-scan: --watch needs an ADAPTER"},
        {{"--scenario", kWalk, "--json"}, "tarvolin-scan: --json needs an ADAPTER"},
        {{"--watch", "--count", "0", "wlan0"}, "tarvolin-scan: --count takes a number of scans"},
        {{"--watch", "--interval", "fast", "wlan0"}, "tarvolin-scan: --interval takes milliseconds"},
    };
    for (const Case& c : cases) {
        const Result result = RunTool(c.arguments);
        EXPECT_EQ(result.status, 2) << c.message;
        EXPECT_EQ(result.err.rfind(c.message, 0), 0u) << result.err;
    }
}

// A log that cannot be written is refused before the first scan (nothing is
// printed), with the cause named.
TEST(ScanToolLog, AnUnusableLogPathIsRefusedBeforeTheFirstScan)
{
    const std::string folder = TempPath("log-folder");
    std::filesystem::create_directories(folder);
    const std::string plainFile = WriteScenario("not-a-folder", "x");
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {folder, "is a directory"},
        {"/dev/null", "is not a regular file"},
        {"/nonexistent-dir/walk.csv", "there is no folder /nonexistent-dir"},
        {plainFile + "/walk.csv", plainFile + " is not a folder"},
        // sysfs makes no files, not even for root.
        {"/sys/walk.csv", "cannot create a file in /sys: Permission denied"},
    };
    for (const Case& c : cases) {
        const Result result =
            RunTool({"--scenario", kWalk, "--watch", "--interval", "0", "--count", "3", "--log", c.path, "wlan0"});
        EXPECT_EQ(result.status, 1) << c.path;
        EXPECT_EQ(result.out, "") << c.path;
        EXPECT_EQ(result.err, "tarvolin-scan: cannot log to " + c.path + ": " + c.reason + "\n");
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder)) << "the check leaves no file behind";
}

TEST(ScanToolModes, VersionIsTheProgramsVersion)
{
    const Result result = RunTool({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Tarvolin " TARVOLIN_VERSION "\n");
    EXPECT_EQ(result.err, "");
}

// Names a network may send to harm a terminal, a script or a spreadsheet.
// Each is given as its bytes in hex; text is how the list and watch lines
// write it, cell how the CSV log holds it.
struct HostileName {
    const char* hex;
    std::string text;
    std::string cell;
};

const HostileName kHostileNames[] = {
    {"610062", "a\\x00b", "a\\x00b"},                                      // NUL inside: a\0b and a\0c stay apart
    {"610063", "a\\x00c", "a\\x00c"},                                      //
    {"6c69745c783061", "lit\\\\x0a", "lit\\\\x0a"},                        // a literal backslash is not an escape
    {"1b5b324a", "\\x1b[2J", "\\x1b[2J"},                                  // ESC clears a terminal
    {"610d0a62", "a\\x0d\\x0ab", "a\\x0d\\x0ab"},                          // a line break inside a row
    {"4ec2854cc29b", "N\\u{85}L\\u{9b}", "N\\u{85}L\\u{9b}"},              // C1 controls: NEL and CSI
    {"41e280a842e280a9", "A\\u{2028}B\\u{2029}", "A\\u{2028}B\\u{2029}"},  // line and paragraph separators
    {"e280ae6f6c6c6548", "\\u{202e}olleH", "\\u{202e}olleH"},              // right-to-left override
    {"c2a0c3a9e282ac", "\xc2\xa0\xc3\xa9\xe2\x82\xac", "\xc2\xa0\xc3\xa9\xe2\x82\xac"},  // printable, as it is
    {"3d312b31", "=1+1", "'=1+1"},                                                       // formula starts
    {"2b41", "+A", "'+A"},                                                               //
    {"2d35", "-5", "'-5"},                                                               //
    {"4053554d284131290a", "@SUM(A1)\\x0a", "'@SUM(A1)\\x0a"},                           //
    {"092d31", "\\x09-1", "\\x09-1"},      // an escaped start is no formula start
    {"612c226222", "a,\"b\"", "a,\"b\""},  // CSV quoting still applies
};

// One simulated network per hostile name, 02:00:00:00:00:NN, strongest first.
std::string HostileScenario()
{
    std::string text = "adapter wlan0 wireless\n";
    for (std::size_t i = 0; i < std::size(kHostileNames); ++i) {
        char line[160];
        std::snprintf(line, sizeof line, "network 02:00:00:00:00:%02zx ssid=hex:%s channel=1 signal=0:%d\n", i + 1,
                      kHostileNames[i].hex, -30 - static_cast<int>(i));
        text += line;
    }
    return text;
}

std::string Bssid(std::size_t i)
{
    char text[18];
    std::snprintf(text, sizeof text, "02:00:00:00:00:%02zx", i + 1);
    return text;
}

TEST(ScanToolNames, HostileNamesAreEscapedReversiblyInTheListTheWatchAndTheLog)
{
    const std::string scenario = WriteScenario("hostile.scn", HostileScenario());
    const std::string log = TempPath("hostile.csv");
    std::filesystem::remove(log);
    const Result list = RunTool({"--scenario", scenario, "wlan0"});
    ASSERT_EQ(list.status, 0) << list.err;
    const Result watch =
        RunTool({"--scenario", scenario, "--watch", "--interval", "0", "--count", "1", "--log", log, "wlan0"});
    ASSERT_EQ(watch.status, 0) << watch.err;
    const json rows = ReadCsvWithPython(log);
    ASSERT_TRUE(rows.is_array());
    ASSERT_EQ(rows.size(), std::size(kHostileNames) + 1) << "one row per network, and the header";
    std::map<std::string, json> cells;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 11u) << rows[i];
        cells[rows[i][0].get<std::string>()] = rows[i][1];
    }

    std::istringstream listLines(list.out);
    std::istringstream watchLines(watch.out);
    for (std::size_t i = 0; i < std::size(kHostileNames); ++i) {
        const HostileName& name = kHostileNames[i];
        const std::string sent = FromHex(name.hex);
        std::string line;
        ASSERT_TRUE(std::getline(listLines, line)) << name.hex;
        EXPECT_EQ(line, Bssid(i) + "\t1\t" + std::to_string(-30 - static_cast<int>(i)) + "\tAP\topen\t" + name.text)
            << name.hex;
        EXPECT_EQ(Unescape(name.text), sent) << name.hex;
        ASSERT_TRUE(std::getline(watchLines, line)) << name.hex;
        EXPECT_EQ(line.substr(line.find("\tnew\t")),
                  "\tnew\t" + Bssid(i) + "\t1\t" + std::to_string(-30 - static_cast<int>(i)) + "\topen\t" + name.text)
            << name.hex;
        EXPECT_EQ(cells[Bssid(i)], name.cell) << name.hex;
    }
}

}  // namespace
