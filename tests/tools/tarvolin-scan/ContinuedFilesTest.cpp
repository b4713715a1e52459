// The --log table and the KML map continued from an earlier run: what is
// carried over and merged, which files are refused (and left as they were),
// that a file cut anywhere never reads as something it is not, and the
// atomic replacement beneath both.
#include "WalkFiles.h"

#include "tools/tarvolin-scan/AtomicFile.h"
#include "tools/tarvolin-scan/CsvLog.h"
#include "tools/tarvolin-scan/KmlMap.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace tooltest;
using nlohmann::json;
using platform::Security;
using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

const Clock::time_point kNoon{std::chrono::seconds(1796990400)};  // 2026-12-11 12:00:00

NetworkView Network(const std::string& bssid, const std::string& name, int signal, Security security = Security::Open)
{
    NetworkView n;
    n.bssid = bssid;
    n.ssidBytes = name;
    n.hidden = name.find_first_not_of('\0') == std::string::npos;  // as DescribeNetwork judges it
    n.frequencyMhz = 2437;
    n.channel = 6;
    n.band = "2.4";
    n.signalDbm = signal;
    n.mode = "ap";
    n.details.security = security;
    return n;
}

WatchTracker::Record Record(const NetworkView& network, Clock::time_point first, Clock::time_point last, int best,
                            int worst)
{
    return {network, first, last, best, worst};
}

GpsFix Fix(double latitude, double longitude)
{
    GpsFix fix;
    fix.latitude = latitude;
    fix.longitude = longitude;
    fix.mode = 3;
    fix.altitudeM = 74.5;
    return fix;
}

// A folder of the test's own, empty.
std::string Folder(const std::string& name)
{
    const std::string folder = TempPath(name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<CsvLog::Row> ReadTable(const std::string& path)
{
    std::vector<CsvLog::Row> rows;
    std::string reason;
    EXPECT_TRUE(CsvLog::Read(ReadFile(path), rows, reason)) << reason;
    return rows;
}

// A second watch on the same table keeps the first one's rows: a network
// heard again takes the earliest first sighting, the latest last one and
// the extremes of both watches' signals, and its details as heard now.
TEST(CsvLogContinued, ASecondWatchMergesItsNetworksIntoTheTable)
{
    const std::string path = TempPath("continued.csv");
    std::filesystem::remove(path);
    struct Case {
        const char* bssid;
        int oldBest, oldWorst;  // the first watch; 0, 0: not heard then
        int newBest, newWorst;  // the second watch; 0, 0: not heard then
        int best, worst;        // the table after both
    };
    const Case cases[] = {
        {"02:00:00:00:00:01", -40, -70, -50, -80, -40, -80},
        {"02:00:00:00:00:02", -60, -65, -30, -62, -30, -65},
        {"02:00:00:00:00:03", -55, -90, 0, 0, -55, -90},  // not heard again: kept as it was
        {"02:00:00:00:00:04", 0, 0, -45, -45, -45, -45},  // new: added after the others
    };
    const Clock::time_point firstWatch = kNoon;
    const Clock::time_point secondWatch = kNoon + 1h;
    std::vector<WatchTracker::Record> before;
    std::vector<WatchTracker::Record> after;
    for (const Case& c : cases) {
        if (c.oldBest != 0)
            before.push_back(
                Record(Network(c.bssid, "old", c.oldBest), firstWatch, firstWatch + 10min, c.oldBest, c.oldWorst));
        if (c.newBest != 0) {
            NetworkView now = Network(c.bssid, "new", c.newBest, Security::Wpa2);
            now.channel = 11;
            now.frequencyMhz = 2462;
            after.push_back(Record(now, secondWatch + 123ms, secondWatch + 5min, c.newBest, c.newWorst));
        }
    }
    std::string error;
    CsvLog first(path);
    ASSERT_TRUE(first.Open(error)) << error;
    ASSERT_TRUE(first.Write(before, error)) << error;
    const std::vector<CsvLog::Row> written = ReadTable(path);
    CsvLog second(path);
    ASSERT_TRUE(second.Open(error)) << error;
    ASSERT_TRUE(second.Write(after, error)) << error;

    const std::vector<CsvLog::Row> rows = ReadTable(path);
    ASSERT_EQ(rows.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const CsvLog::Row& row = rows[i];
        EXPECT_EQ(row.bssid, c.bssid);
        EXPECT_EQ(row.bestSignalDbm, c.best) << c.bssid;
        EXPECT_EQ(row.worstSignalDbm, c.worst) << c.bssid;
        EXPECT_EQ(row.firstSeen, c.oldBest != 0 ? firstWatch : secondWatch + 123ms) << c.bssid;
        EXPECT_EQ(row.lastSeen, c.newBest != 0 ? secondWatch + 5min : firstWatch + 10min) << c.bssid;
        if (c.newBest != 0) {
            EXPECT_EQ(row.ssid, "new") << c.bssid;
            EXPECT_EQ(row.channel, 11u) << c.bssid;
            EXPECT_EQ(row.security, "wpa2") << c.bssid;
        } else {
            EXPECT_EQ(row, written[i]) << c.bssid << ": a row not heard again is kept as it was";
        }
    }
    std::string pythonError;
    const json read = ReadWalkFiles("-", "-", pythonError, path);
    ASSERT_FALSE(read.is_null()) << pythonError;
    EXPECT_EQ(read["table"].size(), std::size(cases) + 1);
}

// The table keeps every byte of a name, as the WiGLE log and the map do: a
// byte that is not UTF-8 is written \xNN, never replaced.
TEST(CsvLogContinued, NamesKeepEveryByteAndReadBackExactly)
{
    struct Case {
        const char* hex;
        std::string cell;
    };
    const Case cases[] = {
        {"4eff74", "N\\xfft"},     {"80c0afeda080", "\\x80\\xc0\\xaf\\xed\\xa0\\x80"},
        {"e282", "\\xe2\\x82"},    {"436166c3a9", "Caf\xc3\xa9"},
        {"2bff", "'+\\xff"},                        // a formula start keeps its apostrophe
        {"612c0a22", "a,\\x0a\""}, {"000000", ""},  // hidden
    };
    std::vector<WatchTracker::Record> records;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "02:00:00:00:00:%02zx", i + 1);
        records.push_back(Record(Network(bssid, FromHex(cases[i].hex), -40), kNoon, kNoon, -40, -40));
    }
    const std::string path = TempPath("bytes.csv");
    std::filesystem::remove(path);
    CsvLog log(path);
    std::string error;
    ASSERT_TRUE(log.Open(error)) << error;
    ASSERT_TRUE(log.Write(records, error)) << error;

    const json read = ReadWalkFiles("-", "-", error, path);
    ASSERT_FALSE(read.is_null()) << error;
    ASSERT_EQ(read["table"].size(), std::size(cases) + 1);
    const std::vector<CsvLog::Row> rows = ReadTable(path);
    ASSERT_EQ(rows.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(read["table"][i + 1][1], cases[i].cell) << cases[i].hex;
        EXPECT_EQ(rows[i].ssid, cases[i].cell) << cases[i].hex;
        const std::string unquoted = cases[i].cell.starts_with('\'') ? cases[i].cell.substr(1) : cases[i].cell;
        if (!CsvLog::RowOf(records[i]).ssid.empty()) {
            EXPECT_EQ(Unescape(unquoted), FromHex(cases[i].hex)) << cases[i].hex;
        }
    }
    // Read back and written again, the table is the same to the byte.
    const std::string text = ReadFile(path);
    CsvLog again(path);
    ASSERT_TRUE(again.Open(error)) << error;
    ASSERT_TRUE(again.Write({}, error)) << error;
    EXPECT_EQ(ReadFile(path), text);
}

const std::string kHeader =
    "bssid,ssid,channel,frequency_mhz,band,security,vendor,first_seen,last_seen,best_signal_dbm,worst_signal_dbm\r\n";
const std::string kRow = "02:00:00:00:00:01,Home,6,2437,2.4,wpa2,,2026-12-11T12:00:00.000Z,"
                         "2026-12-11T12:05:00.000Z,-40,-70\r\n";

// A file that is not the table, or a table edited or cut so that it no
// longer reads, is refused with the cause and left as it was; the header
// alone, or nothing, is a table to continue.
TEST(CsvLogContinued, FilesThatAreNotItsTableAreRefusedAndLeftAsTheyWere)
{
    const auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        return text.replace(text.find(from), from.size(), to);
    };
    struct Case {
        const char* what;
        std::string before;
        std::string reason;  // empty: continued
    };
    const Case cases[] = {
        {"empty", "", ""},
        {"header only", kHeader, ""},
        {"line feeds alone", replaced(kHeader, "\r\n", "\n") + replaced(kRow, "\r\n", "\n"), ""},
        {"another table", "a,b\r\n1,2\r\n", "is not a table of tarvolin-scan --log"},
        {"a WiGLE log", "WigleWifi-1.6,appRelease=1\nMAC,SSID\n", "is not a table of tarvolin-scan --log"},
        {"cut in a row", kHeader + kRow.substr(0, 30),
         "is damaged, line 2: the last line has no line end (cut short?)"},
        {"cut in quotes", kHeader + "02:00:00:00:00:01,\"a,b",
         "is damaged, line 2: the file ends inside a quoted cell (cut short?)"},
        {"a cell less", kHeader + replaced(kRow, ",,", ","), "is damaged, line 2: a row of 10 cells, not 11"},
        {"upper case BSSID", kHeader + replaced(kRow, "02:00", "0A:00"),
         "is damaged, line 2: the bssid 0A:00:00:00:00:01 is not a MAC address as the table writes it"},
        {"a word for a channel", kHeader + replaced(kRow, ",6,", ",six,"),
         "is damaged, line 2: the channel cell does not read"},
        {"a time without milliseconds", kHeader + replaced(kRow, "12:00:00.000Z", "12:00:00Z"),
         "is damaged, line 2: the first_seen cell does not read"},
        {"30 February", kHeader + replaced(kRow, "2026-12-11T12:05", "2026-02-30T12:05"),
         "is damaged, line 2: the last_seen cell does not read"},
        {"signal with a unit", kHeader + replaced(kRow, "-70", "-70dBm"),
         "is damaged, line 2: the worst_signal_dbm cell does not read"},
        {"worst above best", kHeader + replaced(kRow, "-40,-70", "-70,-40"),
         "is damaged, line 2: worst_signal_dbm is above best_signal_dbm"},
        {"last before first", kHeader + replaced(kRow, "12:05:00", "11:05:00"),
         "is damaged, line 2: first_seen is after last_seen"},
        {"a row twice", kHeader + kRow + kRow,
         "is damaged, line 3: a second row for 02:00:00:00:00:01 (the first is on line 2)"},
        {"not UTF-8", kHeader + kRow + replaced(kRow, "Home", "H\xf6me"),
         "is damaged, line 3: a byte that is not UTF-8"},
        {"a raw line break", kHeader + replaced(kRow, "Home", "\"Ho\r\nme\""),
         "is damaged, line 2: a line break or other control character inside a cell"},
        {"a stray quote", kHeader + replaced(kRow, "Home", "Ho\"me"),
         "is damaged, line 2: a quote inside a cell that is not in quotes"},
        {"a lone CR", kHeader + replaced(kRow, "\r\n", "\r"),
         "is damaged, line 2: a carriage return without a line feed"},
    };
    for (const Case& c : cases) {
        const std::string path = TempPath("refused.csv");
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.before;
        CsvLog log(path);
        std::string error;
        const bool opened = log.Open(error);
        EXPECT_EQ(opened, c.reason.empty()) << c.what << ": " << error;
        if (!opened) {
            EXPECT_EQ(error, "cannot log to " + path + ": " + c.reason + " (a new one needs a new file)") << c.what;
            EXPECT_EQ(ReadFile(path), c.before) << c.what << ": a refused file is left as it was";
        }
    }
}

// A table cut anywhere (a copy that stopped, a full disk) is refused, or
// reads as its first rows when the cut falls at a line end: never as rows
// it does not hold, never a crash.
TEST(CsvLogContinued, ATableCutAnywhereReadsAsItsFirstRowsOrIsRefused)
{
    std::vector<WatchTracker::Record> records;
    for (const char* name : {"a,b", "\"quoted\"", "=1", "plain"}) {
        const std::string bssid = "02:00:00:00:00:1" + std::to_string(records.size());
        NetworkView n = Network(bssid, name, -50);
        n.vendor = "Maker, Inc.";
        records.push_back(Record(n, kNoon, kNoon + 1s, -50, -60));
    }
    std::vector<CsvLog::Row> rows;
    for (const WatchTracker::Record& record : records)
        rows.push_back(CsvLog::RowOf(record));
    const std::string table = CsvLog::Table(rows);
    for (std::size_t length = 1; length <= table.size(); ++length) {
        const std::string_view cut(table.data(), length);
        std::vector<CsvLog::Row> read;
        std::string reason;
        if (!CsvLog::Read(cut, read, reason)) {
            EXPECT_FALSE(cut.ends_with("\r\n")) << length << ": " << reason;
            continue;
        }
        const auto lines = static_cast<std::size_t>(std::count(cut.begin(), cut.end(), '\n'));
        ASSERT_TRUE(cut.ends_with("\r\n")) << length;
        ASSERT_EQ(read.size(), lines - 1) << length;
        EXPECT_TRUE(std::equal(read.begin(), read.end(), rows.begin())) << length;
    }
}

// A second walk on the same map keeps the first one's placemarks: a network
// moves only to a reading stronger than every earlier one, of either walk.
TEST(KmlMapContinued, ASecondWalkKeepsEachNetworkAtItsStrongestReadingOfBoth)
{
    const std::string path = TempPath("continued.kml");
    std::filesystem::remove(path);
    std::string error;
    {
        KmlMap first(path);
        ASSERT_TRUE(first.Start(error)) << error;
        NetworkView b = Network("02:00:00:00:00:0b", "B", -70, Security::Wpa2);
        b.vendor = "Maker & Sons";
        first.Take({Network("02:00:00:00:00:0a", "A", -60), b, Network("02:00:00:00:00:0c", "C", -80)}, Fix(52.1, 13.1),
                   kNoon + 250ms);
        ASSERT_TRUE(first.Write(error)) << error;
    }
    const std::string firstMap = ReadFile(path);
    {
        // A is stronger now, B only as strong, C not heard, D new.
        KmlMap second(path);
        ASSERT_TRUE(second.Start(error)) << error;
        EXPECT_EQ(ReadFile(path), firstMap) << "read back and written again, the map is the same to the byte";
        GpsFix flat = Fix(-33.8688, 151.2093);
        flat.altitudeM.reset();
        second.Take({Network("02:00:00:00:00:0a", "A", -50), Network("02:00:00:00:00:0b", "B", -70, Security::Wpa2),
                     Network("02:00:00:00:00:0d", "D", -65)},
                    flat, kNoon + 1h);
        ASSERT_TRUE(second.Write(error)) << error;
    }
    const json read = ReadWalkFiles("-", path, error);
    ASSERT_FALSE(read.is_null()) << error;
    struct Expected {
        const char* name;
        const char* coordinates;
        const char* when;
        const char* signal;
    };
    const Expected expected[] = {
        {"A", "151.20930000,-33.86880000", "2026-12-11T13:00:00.000Z", "Best signal: -50 dBm"},
        {"B", "13.10000000,52.10000000,74.5", "2026-12-11T12:00:00.250Z", "Best signal: -70 dBm"},
        {"C", "13.10000000,52.10000000,74.5", "2026-12-11T12:00:00.250Z", "Best signal: -80 dBm"},
        {"D", "151.20930000,-33.86880000", "2026-12-11T13:00:00.000Z", "Best signal: -65 dBm"},
    };
    ASSERT_EQ(read["placemarks"].size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const json& mark = read["placemarks"][i];
        EXPECT_EQ(mark["name"], expected[i].name);
        EXPECT_EQ(mark["coordinates"], expected[i].coordinates) << expected[i].name;
        EXPECT_EQ(mark["when"], expected[i].when) << expected[i].name;
        EXPECT_NE(mark["description"].get<std::string>().find(expected[i].signal), std::string::npos)
            << mark["description"];
    }
    EXPECT_EQ(
        read["placemarks"][1]["description"],
        "MAC: 02:00:00:00:00:0b\nSecurity: wpa2\nChannel: 6 (2437 MHz)\nBest signal: -70 dBm\nVendor: Maker & Sons");
    EXPECT_EQ(read["placemarks"][1]["style"], "#secured");
}

// Names with any bytes survive being read back and written again.
TEST(KmlMapContinued, NamesWithAnyBytesReadBackExactly)
{
    const std::string path = TempPath("names-again.kml");
    std::filesystem::remove(path);
    std::vector<NetworkView> scan;
    for (const char* hex : {"6122622c63", "610a62", "3c623e26616d703b5d5d3e", "4eff74", "efbfbe78", "6100621b",
                            "5c783431", "436166c3a920f09f9880", "", "2720272022"}) {
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "02:00:00:00:00:%02zx", scan.size() + 1);
        scan.push_back(Network(bssid, FromHex(hex), -40));
    }
    std::string error;
    KmlMap map(path);
    ASSERT_TRUE(map.Start(error)) << error;
    map.Take(scan, Fix(52.5, 13.4), kNoon);
    ASSERT_TRUE(map.Write(error)) << error;
    std::vector<KmlMap::Placemark> marks;
    ASSERT_TRUE(KmlMap::Read(ReadFile(path), marks, error)) << error;
    ASSERT_EQ(marks.size(), scan.size());
    for (std::size_t i = 0; i < scan.size(); ++i)
        EXPECT_EQ(marks[i].name, MapName(scan[i])) << i;
    KmlMap again(path);
    ASSERT_TRUE(again.Start(error)) << error;
    EXPECT_EQ(again.Document(), map.Document());
}

std::string MapWith(const std::string& placemarks)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n"
           "<name>Networks heard on a walk (tarvolin-scan)</name>\n" +
           placemarks + "</Document>\n</kml>\n";
}

std::string Placemark(const std::string& inside)
{
    return "<Placemark>\n" + inside + "</Placemark>\n";
}

const std::string kMarkInside = "<name>A</name>\n<description>MAC: 02:00:00:00:00:0a\nSecurity: open\nChannel: 6 (2437 "
                                "MHz)\nBest signal: -50 dBm</description>\n<TimeStamp><when>2026-12-11T12:00:00.000Z"
                                "</when></TimeStamp>\n<styleUrl>#open</styleUrl>\n<Point><coordinates>13.1,52.1"
                                "</coordinates></Point>\n";

TEST(KmlMapContinued, FilesThatAreNotItsMapAreRefusedAndLeftAsTheyWere)
{
    const auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        return text.replace(text.find(from), from.size(), to);
    };
    const auto everywhere = [](std::string text, const std::string& from, const std::string& to) {
        for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
            text.replace(at, from.size(), to);
        return text;
    };
    const std::string mark = Placemark(kMarkInside);
    std::string nested = "<Placemark>";
    for (int i = 0; i < 100000; ++i)
        nested += "<a>";
    struct Case {
        const char* what;
        std::string before;
        std::string reason;  // empty: continued
    };
    const Case cases[] = {
        {"empty", "", ""},
        {"no placemark", MapWith(""), ""},
        {"a placemark", MapWith(mark), ""},
        {"written on Windows", everywhere(MapWith(mark), "\n", "\r\n"), ""},
        {"comments and CDATA",
         MapWith("<!-- mine -->" + replaced(mark, "<name>A</name>", "<name><![CDATA[A]]></name>")), ""},
        {"another map", replaced(MapWith(mark), "Networks heard on a walk (tarvolin-scan)", "My trip"),
         "is not a map of tarvolin-scan --kml"},
        {"a table", kHeader, "is not a map of tarvolin-scan --kml"},
        {"cut short", MapWith(mark).substr(0, MapWith(mark).size() - 20),
         "is damaged, line 14: the document ends inside <Document> (cut short?)"},
        {"a document type", "<!DOCTYPE kml [<!ENTITY x \"y\">]>\n" + MapWith(mark),
         "is damaged, line 1: a document type declaration, which is not read"},
        {"another root", replaced(replaced(MapWith(mark), "<kml ", "<gpx "), "</kml>", "</gpx>"),
         "is damaged, line 2: the root is not KML 2.2's <kml>"},
        {"an element it does not write", MapWith("<Folder></Folder>" + mark),
         "is damaged, line 5: <Folder> in <Document>, which the map does not hold"},
        {"no coordinates", MapWith(replaced(mark, "<coordinates>13.1,52.1</coordinates>", "")),
         "is damaged, line 13: <Point> has no <coordinates>"},
        {"two names", MapWith(replaced(mark, "<name>A</name>", "<name>A</name><name>B</name>")),
         "is damaged, line 6: a second <name> in <Placemark>"},
        {"a latitude beyond the pole", MapWith(replaced(mark, "13.1,52.1", "13.1,92.1")),
         "is damaged, line 5: the placemark's coordinates are not a longitude and a latitude"},
        {"a word for a coordinate", MapWith(replaced(mark, "13.1,52.1", "east,52.1")),
         "is damaged, line 5: the placemark's coordinates are not a longitude and a latitude"},
        {"an endless altitude", MapWith(replaced(mark, "13.1,52.1", "13.1,52.1,inf")),
         "is damaged, line 5: the placemark's coordinates are not a longitude and a latitude"},
        {"with an altitude", MapWith(replaced(mark, "13.1,52.1", "13.1,52.1,74.5")), ""},
        {"another style", MapWith(replaced(mark, "#open", "#blue")),
         "is damaged, line 5: the placemark's style is neither #open nor #secured"},
        {"an edited description", MapWith(replaced(mark, "Best signal: -50 dBm", "Best signal: strong")),
         "is damaged, line 5: the placemark's description is not one the map writes"},
        {"a local time", MapWith(replaced(mark, ".000Z", "+01:00")),
         "is damaged, line 5: the placemark's time is not one the map writes"},
        {"a placemark twice", MapWith(mark + mark),
         "is damaged, line 15: a second placemark for 02:00:00:00:00:0a (the first is on line 5)"},
        {"an unknown entity", MapWith(replaced(mark, "<name>A", "<name>&nbsp;A")),
         "is damaged, line 6: an unknown entity &nbsp;"},
        {"a NUL by reference", MapWith(replaced(mark, "<name>A", "<name>&#0;A")),
         "is damaged, line 6: &#0; is no character XML allows"},
        {"not UTF-8", MapWith(replaced(mark, "<name>A", "<name>\xff")), "is damaged, line 6: a byte that is not UTF-8"},
        {"crossed tags", MapWith(replaced(mark, "</when></TimeStamp>", "</TimeStamp></when>")),
         "is damaged, line 11: </TimeStamp> ends <when>"},
        {"nested without end", MapWith(nested), "is damaged, line 5: elements nested more than 64 deep"},
    };
    for (const Case& c : cases) {
        const std::string path = TempPath("refused.kml");
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.before;
        KmlMap map(path);
        std::string error;
        const bool started = map.Start(error);
        EXPECT_EQ(started, c.reason.empty()) << c.what << ": " << error;
        if (!started) {
            EXPECT_EQ(error, "cannot write the map " + path + ": " + c.reason + " (a new one needs a new file)")
                << c.what;
            EXPECT_EQ(ReadFile(path), c.before) << c.what << ": a refused file is left as it was";
        } else if (!c.before.empty()) {
            std::vector<KmlMap::Placemark> marks;
            EXPECT_TRUE(KmlMap::Read(ReadFile(path), marks, error)) << c.what << ": " << error;
            EXPECT_EQ(marks.size(), c.before.find("<Placemark>") == std::string::npos ? 0u : 1u) << c.what;
        }
    }
}

// A map cut anywhere before its end is refused: a cut never reads as a map
// with fewer placemarks, which writing it again would make for good.
TEST(KmlMapContinued, AMapCutAnywhereIsRefused)
{
    const std::string path = TempPath("whole.kml");
    std::filesystem::remove(path);
    KmlMap map(path);
    std::string error;
    ASSERT_TRUE(map.Start(error)) << error;
    NetworkView b = Network("02:00:00:00:00:0b", "<B & 'b'>", -70, Security::Wpa3);
    b.vendor = "Maker";
    map.Take({Network("02:00:00:00:00:0a", "A", -60), b}, Fix(52.1, 13.1), kNoon);
    const std::string document = map.Document();
    const std::size_t whole = document.size() - 1;  // the last line end is not part of the XML
    for (std::size_t length = 0; length < whole; ++length) {
        std::vector<KmlMap::Placemark> marks;
        std::string reason;
        EXPECT_FALSE(KmlMap::Read(document.substr(0, length), marks, reason)) << length;
    }
    std::vector<KmlMap::Placemark> marks;
    EXPECT_TRUE(KmlMap::Read(document.substr(0, whole), marks, error)) << error;
    EXPECT_EQ(marks.size(), 2u);
}

// A replaced file keeps the permissions it had (a private log stays
// private); a new one gets what the umask leaves. Nothing else is left in
// the folder.
TEST(AtomicFileReplace, TheReplacedFileKeepsItsModeAndNothingIsLeftBeside)
{
    const std::string folder = Folder("atomic");
    const mode_t oldMask = umask(027);
    struct Case {
        const char* name;
        mode_t before;  // 0: no file before
        mode_t after;
    };
    const Case cases[] = {{"new", 0, 0640}, {"private", 0600, 0600}, {"shared", 0664, 0664}, {"read-only", 0444, 0444}};
    for (const Case& c : cases) {
        const std::string path = folder + "/" + c.name;
        if (c.before != 0) {
            std::ofstream(path) << "old";
            chmod(path.c_str(), c.before);
        }
        AtomicFile file(path);
        std::string error;
        ASSERT_TRUE(file.Check("cannot write " + path, error)) << error;
        ASSERT_TRUE(file.Replace("new", error)) << c.name << ": " << error;
        struct stat info { };
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.after) << c.name;
        EXPECT_EQ(ReadFile(path), "new") << c.name;
    }
    umask(oldMask);
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"new", "private", "read-only", "shared"}));
}

// What a run killed while writing may leave (the one temporary name) is
// removed by the next run, before its first write and by it.
TEST(AtomicFileReplace, TheTemporaryFileOfAKilledRunIsRemoved)
{
    const std::string folder = Folder("stale");
    const std::string path = folder + "/walk.csv";
    AtomicFile file(path);
    EXPECT_EQ(file.TemporaryPath(), path + ".tarvolin-scan.tmp");
    std::string error;
    for (const bool check : {true, false}) {
        std::ofstream(file.TemporaryPath()) << "half a table";
        if (check)
            ASSERT_TRUE(file.Check("cannot log to " + path, error)) << error;
        else
            ASSERT_TRUE(file.Replace("whole", error)) << error;
        EXPECT_FALSE(std::filesystem::exists(file.TemporaryPath())) << (check ? "Check" : "Replace");
    }
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"walk.csv"});
    EXPECT_EQ(ReadFile(path), "whole");
}

}  // namespace
