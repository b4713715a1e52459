// tarvolin-scan --watch run again on the files an earlier walk left, with a
// real gpsd fed by gpsfake: a walk repeated, a walk killed without warning
// (a flat battery) and started again, again and again. The --log table, the
// WiGLE log and the KML map are read back with Python's readers (and GDAL's
// where it is installed) after each run: nothing an earlier run wrote is
// lost, and no temporary file is left lying beside them.
#include "GpsFake.h"
#include "WalkFiles.h"

#include "RadioTimeline.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <thread>

namespace {

using namespace tooltest;
using nlohmann::json;

const std::string kWalkLog = TARVOLIN_TEST_DATA "/walk.nmea";

std::string Address(int port)
{
    return "127.0.0.1:" + std::to_string(port);
}

// The three files of a walk, in a folder of the test's own.
struct WalkFolder {
    explicit WalkFolder(const std::string& name) : folder(TempPath(name))
    {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }

    std::vector<std::string> Arguments(int port) const
    {
        return {"--gps", Address(port), "--log", table, "--wigle", wigle, "--kml", kml, "wlan0"};
    }

    std::set<std::string> Entries() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.insert(entry.path().filename());
        return names;
    }

    // All three read back; null, with the reason, when any does not read.
    json Read(std::string& error) const { return ReadWalkFiles(wigle, kml, error, table); }

    std::string folder;
    std::string table = folder + "/walk.csv";
    std::string wigle = folder + "/walk-wigle.csv";
    std::string kml = folder + "/walk.kml";
};

const std::set<std::string> kWalkFiles = {"walk.csv", "walk-wigle.csv", "walk.kml"};

// The table's rows by BSSID; the placemarks by the MAC their description
// starts with.
std::map<std::string, json> TableRows(const json& read)
{
    std::map<std::string, json> rows;
    for (std::size_t i = 1; i < read["table"].size(); ++i)
        rows[read["table"][i][0]] = read["table"][i];
    return rows;
}

std::map<std::string, json> Placemarks(const json& read)
{
    std::map<std::string, json> marks;
    for (const json& mark : read["placemarks"])
        marks[mark["description"].get<std::string>().substr(5, 17)] = mark;
    return marks;
}

int BestSignal(const json& mark)
{
    const std::string description = mark["description"];
    const std::size_t at = description.find("Best signal: ");
    return at == std::string::npos ? 0 : std::stoi(description.substr(at + 13));
}

// Everything the files held before a run is in them after it: each
// network's row with its first sighting, and its last sighting, best and
// worst signal no worse; each placemark, moved only to a stronger reading;
// each whole line of the WiGLE log, in order.
void ExpectNothingLost(const json& before, const std::string& wigleBefore, const json& after,
                       const std::string& wigleAfter, const std::string& when)
{
    const std::map<std::string, json> rows = TableRows(after);
    for (const auto& [bssid, old] : TableRows(before)) {
        const auto found = rows.find(bssid);
        ASSERT_NE(found, rows.end()) << when << ": the table lost " << old;
        const json& row = found->second;
        EXPECT_EQ(row[7], old[7]) << when << ": first_seen of " << bssid;
        EXPECT_GE(row[8].get<std::string>(), old[8].get<std::string>()) << when << ": last_seen of " << bssid;
        EXPECT_GE(std::stoi(row[9].get<std::string>()), std::stoi(old[9].get<std::string>())) << when << " " << bssid;
        EXPECT_LE(std::stoi(row[10].get<std::string>()), std::stoi(old[10].get<std::string>())) << when << " " << bssid;
    }
    const std::map<std::string, json> marks = Placemarks(after);
    for (const auto& [mac, old] : Placemarks(before)) {
        const auto found = marks.find(mac);
        ASSERT_NE(found, marks.end()) << when << ": the map lost " << old;
        const json& mark = found->second;
        EXPECT_GE(BestSignal(mark), BestSignal(old)) << when << " " << mac;
        if (BestSignal(mark) == BestSignal(old)) {
            EXPECT_EQ(mark["coordinates"], old["coordinates"]) << when << ": moved to an equal reading " << mac;
            EXPECT_EQ(mark["when"], old["when"]) << when << " " << mac;
        }
    }
    // A kill may cut the log's last row short; the next run drops that.
    const std::string whole = wigleBefore.substr(0, wigleBefore.rfind('\n') + 1);
    EXPECT_TRUE(wigleAfter.starts_with(whole)) << when << ": the WiGLE log lost rows";
}

// GDAL reads the table and the map as Python does.
void ExpectGdalReadsAsPython(const WalkFolder& walk, const json& read)
{
    if (!HaveGdal())
        return;
    std::string error;
    const json table = ReadWithGdal(walk.table, error);
    ASSERT_FALSE(table.is_null()) << error;
    ASSERT_EQ(table["features"].size() + 1, read["table"].size());
    for (std::size_t i = 0; i < table["features"].size(); ++i) {
        const json& properties = table["features"][i]["properties"];
        const json& row = read["table"][i + 1];
        EXPECT_EQ(properties["bssid"], row[0]);
        EXPECT_EQ(properties["ssid"], row[1]);
        EXPECT_EQ(properties["first_seen"], row[7]);
    }
    const json map = ReadWithGdal(walk.kml, error);
    ASSERT_FALSE(map.is_null()) << error;
    ASSERT_EQ(map["features"].size(), read["placemarks"].size());
    for (std::size_t i = 0; i < map["features"].size(); ++i) {
        const json& feature = map["features"][i];
        const json& mark = read["placemarks"][i];
        EXPECT_EQ(feature["properties"]["Name"], mark["name"]);
        EXPECT_EQ(feature["properties"]["description"], mark["description"]);
        const std::string coordinates = mark["coordinates"];
        EXPECT_NEAR(feature["geometry"]["coordinates"][0].get<double>(), std::stod(coordinates), 1e-8);
    }
}

// The same walk run again, shorter: the second run hears only what the
// first three steps pass, and the files keep all the first run found.
TEST(ScanToolContinue, AWalkRunAgainOnItsFilesKeepsAllTheFirstRunFound)
{
    const int port = FreePort();
    GpsFake gpsd(kWalkLog, port, "0.1", false, TempPath("gpsfake-again.out"));
    ASSERT_TRUE(gpsd.Ready()) << ReadFile(TempPath("gpsfake-again.out"));
    const WalkFolder walk("walk-again");
    const auto run = [&](unsigned scans) {
        std::vector<std::string> arguments{"--scenario",         kWalk, "--watch", "--interval", "100", "--count",
                                           std::to_string(scans)};
        const std::vector<std::string> files = walk.Arguments(port);
        arguments.insert(arguments.end(), files.begin(), files.end());
        return RunTool(arguments);
    };

    const Result first = run(30);
    ASSERT_EQ(first.status, 0) << first.err;
    std::string error;
    const json before = walk.Read(error);
    ASSERT_FALSE(before.is_null()) << error;
    const std::string wigleBefore = ReadFile(walk.wigle);
    ASSERT_GT(before["placemarks"].size(), 0u) << first.err;

    // What the second run hears by itself is less than the first found.
    std::string radioError;
    const auto heard = HeardPerScan(kWalk, "wlan0", 3, radioError);
    std::set<std::string> heardAgain;
    for (const auto& step : heard)
        for (const auto& [mac, signal] : step)
            heardAgain.insert(mac);
    ASSERT_LT(heardAgain.size() + 1, before["table"].size()) << radioError;

    const Result second = run(3);
    ASSERT_EQ(second.status, 0) << second.err;
    const json after = walk.Read(error);
    ASSERT_FALSE(after.is_null()) << error;
    ExpectNothingLost(before, wigleBefore, after, ReadFile(walk.wigle), "run again");
    EXPECT_EQ(after["table"].size(), before["table"].size()) << "the second run passed no new network";
    EXPECT_EQ(after["table"][0], before["table"][0]);
    EXPECT_GT(ReadFile(walk.wigle).size(), wigleBefore.size()) << "the WiGLE log goes on";
    // A network both runs heard was last seen in the second.
    const auto rows = TableRows(after);
    EXPECT_GT(rows.at("02:c1:7e:00:00:01")[8].get<std::string>(),
              TableRows(before).at("02:c1:7e:00:00:01")[8].get<std::string>());
    EXPECT_EQ(walk.Entries(), kWalkFiles);
    ExpectGdalReadsAsPython(walk, after);
}

// A walk killed without warning at any moment, again and again, and started
// again each time: after each kill the files read and hold all they held
// before it, and at most the one temporary name of each file is left
// (which the next start removes); after a last whole run, nothing but the
// three files.
TEST(ScanToolContinue, AWalkKilledAndStartedAgainLosesNothingAndLeavesNothingBehind)
{
    const int port = FreePort();
    GpsFake gpsd(kWalkLog, port, "0.05", false, TempPath("gpsfake-kills.out"));
    ASSERT_TRUE(gpsd.Ready()) << ReadFile(TempPath("gpsfake-kills.out"));
    const WalkFolder walk("walk-kills");
    std::vector<std::string> arguments{"--scenario", kWalk, "--watch", "--interval", "0"};
    const std::vector<std::string> files = walk.Arguments(port);
    arguments.insert(arguments.end(), files.begin(), files.end());
    std::set<std::string> allowed = kWalkFiles;
    allowed.insert({"walk.csv.tarvolin-scan.tmp", "walk.kml.tarvolin-scan.tmp"});

    std::mt19937 random(20261211);
    json before = json::object({{"table", json::array()}, {"placemarks", json::array()}});
    std::string wigleBefore;
    const int kills = 12;
    for (int kill = 0; kill < kills; ++kill) {
        const std::string when = "kill " + std::to_string(kill);
        const std::string tableBefore = ReadFile(walk.table);
        const pid_t tool = StartTool(arguments, TempPath("kills.out"), TempPath("kills.err"));
        ASSERT_GT(tool, 0);
        // Each run writes the table anew (its times move on each scan) and
        // places a scan (which writes the log, then the map), then dies
        // somewhere in its next writes.
        const bool wrote = WaitFor(
            [&] { return ReadFile(walk.table) != tableBefore && ReadFile(walk.wigle).size() > wigleBefore.size(); });
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 100000));
        ::kill(tool, SIGKILL);
        int status = 0;
        waitpid(tool, &status, 0);
        ASSERT_TRUE(wrote) << when << ": " << ReadFile(TempPath("kills.err"));

        const std::set<std::string> entries = walk.Entries();
        for (const std::string& name : entries)
            EXPECT_TRUE(allowed.contains(name)) << when << " left " << name;
        std::string error;
        const json after = walk.Read(error);
        ASSERT_FALSE(after.is_null()) << when << ": " << error;
        const std::string wigleAfter = ReadFile(walk.wigle);
        ExpectNothingLost(before, wigleBefore, after, wigleAfter, when);
        if (HasFatalFailure())
            return;
        before = after;
        wigleBefore = wigleAfter;
    }

    const Result last = RunTool([&] {
        std::vector<std::string> whole{"--scenario", kWalk, "--watch", "--interval", "100", "--count", "3"};
        whole.insert(whole.end(), files.begin(), files.end());
        return whole;
    }());
    ASSERT_EQ(last.status, 0) << last.err;
    std::string error;
    const json after = walk.Read(error);
    ASSERT_FALSE(after.is_null()) << error;
    ExpectNothingLost(before, wigleBefore, after, ReadFile(walk.wigle), "the last run");
    EXPECT_EQ(walk.Entries(), kWalkFiles);
    ExpectGdalReadsAsPython(walk, after);
}

}  // namespace
