// tarvolin-scan --watch with --gps, --wigle and --kml against a real gpsd,
// which gpsfake feeds from the NMEA log of a short walk shipped with the
// tests, while the simulated radio walks the street. Nothing here waits a
// fixed time: each step polls for what it needs, with generous deadlines,
// and the checks hold however the fixes and the scans interleave.
#include "GpsFake.h"
#include "WalkFiles.h"

#include "RadioTimeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

namespace {

using namespace tooltest;
using nlohmann::json;

const std::string kWalkLog = TARVOLIN_TEST_DATA "/walk.nmea";

// The log's fixes in order, as latitude and longitude in degrees.
std::vector<std::pair<double, double>> NmeaFixes(const std::string& path)
{
    std::vector<std::pair<double, double>> fixes;
    std::istringstream lines(ReadFile(path));
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("$GPGGA,"))
            continue;
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, ',');)
            fields.push_back(field);
        const auto degrees = [](const std::string& text, std::size_t degreeDigits, const std::string& hemisphere) {
            const double value = std::stod(text.substr(0, degreeDigits)) + std::stod(text.substr(degreeDigits)) / 60;
            return hemisphere == "S" || hemisphere == "W" ? -value : value;
        };
        fixes.emplace_back(degrees(fields[2], 2, fields[3]), degrees(fields[4], 3, fields[5]));
    }
    return fixes;
}

int FixIndex(const std::vector<std::pair<double, double>>& fixes, double latitude, double longitude)
{
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        if (std::abs(fixes[i].first - latitude) < 1e-7 && std::abs(fixes[i].second - longitude) < 1e-7)
            return static_cast<int>(i);
    }
    return -1;
}

std::size_t Lines(const std::string& path)
{
    const std::string text = ReadFile(path);
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::string Address(int port)
{
    return "127.0.0.1:" + std::to_string(port);
}

const std::vector<std::string> kColumns = {"MAC",
                                           "SSID",
                                           "AuthMode",
                                           "FirstSeen",
                                           "Channel",
                                           "Frequency",
                                           "RSSI",
                                           "CurrentLatitude",
                                           "CurrentLongitude",
                                           "AltitudeMeters",
                                           "AccuracyMeters",
                                           "RCOIs",
                                           "MfgrId",
                                           "Type"};

// YYYY-MM-DD HH:MM:SS
bool IsWigleTime(const std::string& text)
{
    const std::string shape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i])
            return false;
    }
    return true;
}

// Every row of a WiGLE log has WiGLE's columns and a position from the log.
void ExpectWigleRows(const json& read, const std::vector<std::pair<double, double>>& fixes)
{
    EXPECT_EQ(read["columns"], json(kColumns));
    for (const json& row : read["rows"]) {
        ASSERT_EQ(row.size(), kColumns.size()) << row;
        EXPECT_TRUE(IsWigleTime(row[3])) << row;
        EXPECT_EQ(row[13], "WIFI") << row;
        EXPECT_GE(FixIndex(fixes, std::stod(row[7].get<std::string>()), std::stod(row[8].get<std::string>())), 0)
            << "a position that is none of the walk's fixes: " << row;
    }
}

TEST(ScanToolGps, AWalkIsLoggedForWigleAndMappedInStepWithGpsd)
{
    const int port = FreePort();
    GpsFake gpsd(kWalkLog, port, "0.1", true, TempPath("gpsfake-walk.out"));
    ASSERT_TRUE(gpsd.Ready()) << ReadFile(TempPath("gpsfake-walk.out"));
    const std::string wigle = TempPath("walk-wigle.csv");
    const std::string kml = TempPath("walk.kml");
    std::filesystem::remove(wigle);
    const unsigned scans = 30;
    const Result result =
        RunTool({"--scenario", kWalk, "--watch", "--interval", "200", "--count", std::to_string(scans), "--gps",
                 Address(port), "--wigle", wigle, "--kml", kml, "wlan0"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\tnew\t"), std::string::npos) << "the watch lines go on as ever";
    // stderr says when readings start being placed, before anything else
    // but a line that gpsd had no fix yet.
    const std::string placing = "tarvolin-scan: placing readings at the fixes of gpsd at " + Address(port) + "\n";
    const std::string noFix =
        "tarvolin-scan: gpsd at " + Address(port) + " has no fix; readings are not placed until it has\n";
    EXPECT_TRUE(result.err.starts_with(placing) || result.err.starts_with(noFix + placing)) << result.err;

    std::string error;
    const json read = ReadWalkFiles(wigle, kml, error);
    ASSERT_FALSE(read.is_null()) << error;
    // The pre-header's keys in WiGLE's order, with the version and the
    // adapter; the machine's values vary.
    std::vector<std::string> keys;
    std::istringstream preheader(read["preheader"].get<std::string>());
    for (std::string field; std::getline(preheader, field, ',');) {
        keys.push_back(field.substr(0, field.find('=')));
        EXPECT_FALSE(field.ends_with("=")) << field;
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"WigleWifi-1.6", "appRelease", "model", "release", "device", "display",
                                              "board", "brand", "star", "body", "subBody"}));
    EXPECT_TRUE(read["preheader"].get<std::string>().starts_with("WigleWifi-1.6,appRelease=" TARVOLIN_VERSION ","));
    EXPECT_NE(read["preheader"].get<std::string>().find(",device=wlan0,"), std::string::npos);
    EXPECT_TRUE(read["preheader"].get<std::string>().ends_with(",star=Sol,body=3,subBody=0"));
    const auto fixes = NmeaFixes(kWalkLog);
    ASSERT_EQ(fixes.size(), 60u);
    ExpectWigleRows(read, fixes);

    std::string radioError;
    const auto heard = HeardPerScan(kWalk, "wlan0", scans, radioError);
    ASSERT_EQ(heard.size(), scans) << radioError;
    const auto heardAt = [&](unsigned step) { return heard[step]; };

    // Split the rows into scans: a scan's rows are consecutive and share
    // its time, and it hears each network once, so a new time or a MAC met
    // again starts the next scan.
    std::vector<std::vector<json>> placedScans;
    std::set<std::string> inScan;
    for (const json& row : read["rows"]) {
        if (placedScans.empty() || inScan.contains(row[0].get<std::string>()) || row[3] != placedScans.back()[0][3]) {
            placedScans.emplace_back();
            inScan.clear();
        }
        placedScans.back().push_back(row);
        inScan.insert(row[0].get<std::string>());
    }
    ASSERT_GE(placedScans.size(), 3u) << "too few scans were placed";

    int lastStep = -1;
    int lastFix = -1;
    std::set<int> fixesUsed;
    for (const std::vector<json>& scan : placedScans) {
        // Each scan's rows sit at one fix of the log, later in the walk than
        // (or as late as) the scan before.
        const int fix =
            FixIndex(fixes, std::stod(scan[0][7].get<std::string>()), std::stod(scan[0][8].get<std::string>()));
        for (const json& row : scan) {
            EXPECT_EQ(row[7], scan[0][7]);
            EXPECT_EQ(row[8], scan[0][8]);
            EXPECT_EQ(row[3], scan[0][3]) << "a scan's rows carry its time";
        }
        EXPECT_GE(fix, lastFix) << "the walk went back";
        lastFix = fix;
        fixesUsed.insert(fix);
        // ... and hold exactly what the simulated radio heard at one step.
        std::map<std::string, int> rows;
        for (const json& row : scan)
            rows[row[0]] = std::stoi(row[6].get<std::string>());
        int step = lastStep + 1;
        while (step < static_cast<int>(scans) && heardAt(step) != rows)
            ++step;
        ASSERT_LT(step, static_cast<int>(scans)) << "rows that no step of the walk heard: " << json(rows);
        lastStep = step;
    }
    EXPECT_GE(fixesUsed.size(), 2u) << "the positions do not move along the walk";

    // The map: a placemark per network, at the first of its strongest rows.
    std::map<std::string, const json*> strongest;
    for (const json& row : read["rows"]) {
        const json*& best = strongest[row[0]];
        if (!best || std::stoi(row[6].get<std::string>()) > std::stoi((*best)[6].get<std::string>()))
            best = &row;
    }
    ASSERT_EQ(read["placemarks"].size(), strongest.size());
    for (const json& mark : read["placemarks"]) {
        const std::string description = mark["description"];
        ASSERT_TRUE(description.starts_with("MAC: ")) << description;
        const std::string mac = description.substr(5, 17);
        ASSERT_TRUE(strongest.contains(mac)) << mac;
        const json& row = *strongest[mac];
        const std::string coordinates = mark["coordinates"];
        EXPECT_TRUE(coordinates.starts_with(row[8].get<std::string>() + "," + row[7].get<std::string>()))
            << mac << " at " << coordinates << ", strongest at " << row;
        EXPECT_NE(description.find("Best signal: " + row[6].get<std::string>() + " dBm"), std::string::npos)
            << description;
        EXPECT_EQ(mark["name"], row[1] == "" ? "(hidden)" : row[1]) << mac;
        // Open networks, ad hoc ones included, carry no security in AuthMode.
        const bool open = row[2] == "[ESS]" || row[2] == "[IBSS]";
        EXPECT_EQ(mark["style"], open ? "#open" : "#secured") << mac << " " << row[2];
    }
}

// A small log whose receiver has no fix: gpsd answers, but with no position.
std::string NoFixLog()
{
    const std::string path = TempPath("nofix.nmea");
    std::ofstream(path, std::ios::binary) << "$GPGGA,120000.00,,,,,0,00,99.9,,,,,,*67\r\n"
                                             "$GPRMC,120000.00,V,,,,,,,111226,,,N*7E\r\n";
    return path;
}

// Without gpsd, or with gpsd but no fix, the watch, its lines and its CSV log
// go on; stderr says why nothing is placed, once; the map files stay empty
// and whole.
TEST(ScanToolGps, WithoutAPositionScanningAndTheOtherOutputsGoOn)
{
    struct Case {
        const char* what;
        bool gpsd;
        std::string message;  // after "tarvolin-scan: ", with ADDRESS for the address
    };
    const Case cases[] = {
        {"no gpsd", false, "cannot reach gpsd at ADDRESS; scanning goes on, readings are not placed until it answers"},
        {"no fix", true, "gpsd at ADDRESS has no fix; readings are not placed until it has"},
    };
    for (const Case& c : cases) {
        const int port = FreePort();
        std::unique_ptr<GpsFake> gpsd;
        if (c.gpsd) {
            gpsd = std::make_unique<GpsFake>(NoFixLog(), port, "0.1", false, TempPath("gpsfake-nofix.out"));
            ASSERT_TRUE(gpsd->Ready()) << ReadFile(TempPath("gpsfake-nofix.out"));
        }
        const std::string log = TempPath("nopos.csv");
        const std::string wigle = TempPath("nopos-wigle.csv");
        const std::string kml = TempPath("nopos.kml");
        std::filesystem::remove(wigle);
        const Result result = RunTool({"--scenario", kWalk, "--watch", "--interval", "100", "--count", "8", "--gps",
                                       Address(port), "--log", log, "--wigle", wigle, "--kml", kml, "wlan0"});
        EXPECT_EQ(result.status, 0) << c.what << ": " << result.err;
        std::string message = c.message;
        message.replace(message.find("ADDRESS"), 7, Address(port));
        EXPECT_EQ(result.err, "tarvolin-scan: " + message + "\n") << c.what;
        EXPECT_NE(result.out.find("\tnew\t"), std::string::npos) << c.what;
        EXPECT_GT(Lines(log), 5u) << c.what << ": the CSV log is kept";
        std::string error;
        const json read = ReadWalkFiles(wigle, kml, error);
        ASSERT_FALSE(read.is_null()) << c.what << ": " << error;
        EXPECT_EQ(read["columns"], json(kColumns)) << c.what;
        EXPECT_EQ(read["rows"].size(), 0u) << c.what;
        EXPECT_EQ(read["placemarks"].size(), 0u) << c.what;
    }
}

// gpsd stopped mid-walk and started again: the watch goes on, says so once
// each way, keeps every row written before and places rows again.
TEST(ScanToolGps, GpsdStoppedAndStartedAgainMidWalkLosesNothing)
{
    const int port = FreePort();
    auto gpsd = std::make_unique<GpsFake>(kWalkLog, port, "0.1", false, TempPath("gpsfake-restart.out"));
    ASSERT_TRUE(gpsd->Ready()) << ReadFile(TempPath("gpsfake-restart.out"));
    const std::string wigle = TempPath("restart-wigle.csv");
    const std::string kml = TempPath("restart.kml");
    const std::string err = TempPath("restart.err");
    std::filesystem::remove(wigle);
    const pid_t tool = StartTool({"--scenario", kWalk, "--watch", "--interval", "100", "--gps", Address(port),
                                  "--wigle", wigle, "--kml", kml, "wlan0"},
                                 TempPath("restart.out"), err);
    ASSERT_GT(tool, 0);
    const auto stopTool = [&] {
        kill(tool, SIGINT);
        int status = 0;
        waitpid(tool, &status, 0);
        return status;
    };

    const bool placed = WaitFor([&] { return Lines(wigle) >= 2 + 20; });
    gpsd->Stop();
    const bool told = WaitFor([&] { return ReadFile(err).find("cannot reach gpsd") != std::string::npos; });
    const std::string before = ReadFile(wigle);
    gpsd = std::make_unique<GpsFake>(kWalkLog, port, "0.1", false, TempPath("gpsfake-restart2.out"));
    const bool back =
        gpsd->Ready() && WaitFor([&] {
            return ReadFile(err).find("placing readings") != std::string::npos &&
                   Lines(wigle) >= static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 10;
        });
    const int status = stopTool();
    ASSERT_TRUE(placed) << ReadFile(err);
    ASSERT_TRUE(told) << ReadFile(err);
    ASSERT_TRUE(back) << ReadFile(err);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile(err);

    const std::string after = ReadFile(wigle);
    EXPECT_TRUE(after.starts_with(before)) << "rows written before gpsd went away were lost";
    std::string error;
    const json read = ReadWalkFiles(wigle, kml, error);
    ASSERT_FALSE(read.is_null()) << error;
    ExpectWigleRows(read, NmeaFixes(kWalkLog));
    EXPECT_GT(read["placemarks"].size(), 0u);

    // One line each time the state changed, never the same twice in a row:
    // gpsd gone, then (after "has no fix" if a scan came before the first
    // fix) placing again.
    std::vector<std::string> lines;
    std::istringstream text(ReadFile(err));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    const std::string gone = "tarvolin-scan: cannot reach gpsd at " + Address(port) +
                             "; scanning goes on, readings are not placed until it answers";
    const auto goneAt = std::find(lines.begin(), lines.end(), gone);
    ASSERT_NE(goneAt, lines.end()) << ReadFile(err);
    EXPECT_EQ(std::count(goneAt, lines.end(), gone), 1) << ReadFile(err);
    EXPECT_EQ(lines.back(), "tarvolin-scan: placing readings at the fixes of gpsd at " + Address(port));
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_NE(lines[i], lines[i - 1]);
}

// A walk killed without warning leaves both files whole.
TEST(ScanToolGps, AKilledWalkLeavesBothFilesParseable)
{
    const int port = FreePort();
    GpsFake gpsd(kWalkLog, port, "0.05", false, TempPath("gpsfake-kill.out"));
    ASSERT_TRUE(gpsd.Ready()) << ReadFile(TempPath("gpsfake-kill.out"));
    const std::string wigle = TempPath("kill-wigle.csv");
    const std::string kml = TempPath("kill.kml");
    std::filesystem::remove(wigle);
    const pid_t tool = StartTool({"--scenario", kWalk, "--watch", "--interval", "10", "--gps", Address(port), "--wigle",
                                  wigle, "--kml", kml, "wlan0"},
                                 TempPath("kill.out"), TempPath("kill.err"));
    ASSERT_GT(tool, 0);
    const bool grown = WaitFor([&] { return Lines(wigle) >= 2 + 60; });
    kill(tool, SIGKILL);
    int status = 0;
    waitpid(tool, &status, 0);
    ASSERT_TRUE(grown) << ReadFile(TempPath("kill.err"));

    std::string error;
    const json read = ReadWalkFiles(wigle, kml, error);
    ASSERT_FALSE(read.is_null()) << error;
    EXPECT_TRUE(read["ends_with_line_end"]);
    ExpectWigleRows(read, NmeaFixes(kWalkLog));
    EXPECT_GT(read["placemarks"].size(), 0u);
}

}  // namespace

namespace {

// --gps takes an address only where it cannot be the adapter; the address,
// however written, is the one asked.
TEST(ScanToolGpsOptions, TheAddressIsTakenWhereItCannotBeTheAdapter)
{
    const std::string port = std::to_string(FreePort());  // nothing listens there
    struct Case {
        std::vector<std::string> arguments;  // after --scenario WALK --watch --count 1 --interval 0
        std::string where;                   // the address the message names
    };
    const Case cases[] = {
        {{"--gps", "127.0.0.1:" + port, "wlan0"}, "127.0.0.1:" + port},
        {{"wlan0", "--gps", "127.0.0.1:" + port}, "127.0.0.1:" + port},
        {{"--gps=127.0.0.1:" + port, "wlan0"}, "127.0.0.1:" + port},
        {{"--gps", "[::1]:" + port, "wlan0"}, "[::1]:" + port},
        {{"--gps", "::1", "--gps=[::1]:" + port, "wlan0"}, "[::1]:" + port},
        {{"--gps", "127.0.0.1:" + port, "--json", "wlan0"}, "127.0.0.1:" + port},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"--scenario", kWalk, "--watch", "--count", "1", "--interval", "0"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const Result result = RunTool(arguments);
        EXPECT_EQ(result.status, 0) << c.where << ": " << result.err;
        EXPECT_FALSE(result.out.empty()) << c.where;
        EXPECT_EQ(result.err, "tarvolin-scan: cannot reach gpsd at " + c.where +
                                  "; scanning goes on, readings are not placed until it answers\n");
    }
    // At the end, the word after --gps is the adapter, and gpsd is asked on
    // this machine's default port.
    const Result last = RunTool({"--scenario", kWalk, "--watch", "--count", "1", "--interval", "0", "--gps", "wlan0"});
    EXPECT_EQ(last.status, 0) << last.err;
    EXPECT_TRUE(last.err.empty() || last.err.find("gpsd at localhost:2947") != std::string::npos) << last.err;
}

TEST(ScanToolGpsOptions, OptionsThatDoNotFitAreRefused)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"--scenario", kWalk, "--gps", "wlan0"}, "--gps, --wigle and --kml go with --watch"},
        {{"--scenario", kWalk, "--wigle", "w.csv", "wlan0"}, "--gps, --wigle and --kml go with --watch"},
        {{"--scenario", kWalk, "--kml", "w.kml", "--json", "wlan0"}, "--gps, --wigle and --kml go with --watch"},
        {{"--watch", "--gps", "host:0", "wlan0"}, "--gps takes HOST, HOST:PORT or [ADDRESS]:PORT, not host:0"},
        {{"--watch", "--gps", "host:65536", "wlan0"}, "--gps takes HOST, HOST:PORT or [ADDRESS]:PORT, not host:65536"},
        {{"--watch", "--gps", "host:", "wlan0"}, "--gps takes HOST, HOST:PORT or [ADDRESS]:PORT, not host:"},
        {{"--watch", "--gps", ":2947", "wlan0"}, "--gps takes HOST, HOST:PORT or [ADDRESS]:PORT, not :2947"},
        {{"--watch", "--gps", "[::1", "wlan0"}, "--gps takes HOST, HOST:PORT or [ADDRESS]:PORT, not [::1"},
        {{"--watch", "--gps", "[::1]2947", "wlan0"}, "--gps takes HOST, HOST:PORT or [ADDRESS]:PORT, not [::1]2947"},
        {{"--watch", "--gps=", "wlan0"}, "--gps takes HOST, HOST:PORT or [ADDRESS]:PORT, not "},
        {{"--watch", "--gps", "", "wlan0"}, "--gps takes HOST, HOST:PORT or [ADDRESS]:PORT, not "},
        {{"--watch", "wlan0", "--wigle"}, "--wigle needs a value"},
        {{"--watch", "--kml", "", "wlan0"}, "--kml needs a file name"},
        {{"--watch", "--log", "a.csv", "--wigle", "a.csv", "wlan0"},
         "--log, --wigle and --kml need files of their own"},
        {{"--watch", "--wigle", "a", "--kml", "a", "wlan0"}, "--log, --wigle and --kml need files of their own"},
    };
    for (const Case& c : cases) {
        const Result result = RunTool(c.arguments);
        EXPECT_EQ(result.status, 2) << c.message;
        EXPECT_EQ(result.out, "") << c.message;
        EXPECT_EQ(result.err, "tarvolin-scan: " + c.message + " (see --help)\n");
    }
}

// A map file that cannot be written is refused before the first scan.
TEST(ScanToolGpsOptions, UnusableMapFilesAreRefusedBeforeTheFirstScan)
{
    const std::string folder = TempPath("map-folder");
    std::filesystem::create_directories(folder);
    const std::string notWigle = WriteScenario("not-wigle.csv", "bssid,ssid\r\n");
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"--wigle", folder}, "cannot log to " + folder + ": is a directory"},
        {{"--wigle", "/nonexistent-dir/w.csv"}, "cannot log to /nonexistent-dir/w.csv: No such file or directory"},
        {{"--wigle", notWigle}, "cannot log to " + notWigle + ": is not a WiGLE 1.6 log (a new one needs a new file)"},
        {{"--kml", folder}, "cannot write the map " + folder + ": is a directory"},
        {{"--kml", "/nonexistent-dir/w.kml"},
         "cannot write the map /nonexistent-dir/w.kml: there is no folder /nonexistent-dir"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"--scenario", kWalk, "--watch", "--count", "1", "--gps=127.0.0.1:1"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        arguments.push_back("wlan0");
        const Result result = RunTool(arguments);
        EXPECT_EQ(result.status, 1) << c.message;
        EXPECT_EQ(result.out, "") << c.message;
        EXPECT_EQ(result.err, "tarvolin-scan: " + c.message + "\n");
    }
    EXPECT_EQ(ReadFile(notWigle), "bssid,ssid\r\n") << "a refused file is left as it was";
}

TEST(ScanToolGpsOptions, HelpDescribesTheMapOptions)
{
    const Result result = RunTool({"--help"});
    EXPECT_EQ(result.status, 0);
    for (const char* words : {"--gps [HOST[:PORT]]", "localhost:2947", "--wigle FILE.csv", "WiGLE CSV 1.6",
                              "[WPA2-PSK-CCMP][ESS]", "--kml FILE.kml", "strongest reading", "at most 2 seconds old"})
        EXPECT_NE(result.out.find(words), std::string::npos) << words;
}

}  // namespace
