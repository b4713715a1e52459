// The pieces behind --gps, --wigle and --kml on their own: when a fix
// places a reading, how WiGLE's columns are written, which reading a
// placemark sits at, and names with any bytes in both files.
#include "WalkFiles.h"

#include "tools/tarvolin-scan/GpsReader.h"
#include "tools/tarvolin-scan/KmlMap.h"
#include "tools/tarvolin-scan/WigleLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace tooltest;
using nlohmann::json;
using platform::Security;
using namespace std::chrono_literals;

NetworkView Network(const std::string& bssid, const std::string& name, int signal, Security security = Security::Open)
{
    NetworkView n;
    n.bssid = bssid;
    n.ssidBytes = name;
    n.hidden = name.find_first_not_of('\0') == std::string::npos;  // as DescribeNetwork judges it
    n.frequencyMhz = 2437;
    n.channel = 6;
    n.signalDbm = signal;
    n.mode = "ap";
    n.details.security = security;
    return n;
}

GpsFix Fix(double latitude, double longitude)
{
    GpsFix fix;
    fix.latitude = latitude;
    fix.longitude = longitude;
    fix.mode = 3;
    fix.altitudeM = 74.5;
    fix.accuracyM = 17.1;
    return fix;
}

const auto kNoon = std::chrono::system_clock::time_point(std::chrono::seconds(1796990400));  // 2026-12-11 12:00:00

TEST(GpsPlacing, AReadingIsPlacedAtAFixOfTwoDimensionsAtMostTwoSecondsOld)
{
    struct Case {
        bool connected;
        int mode;  // 0: no fix at all
        std::chrono::milliseconds age;
        GpsReader::State state;
    };
    const Case cases[] = {
        {true, 0, 0ms, GpsReader::State::NoFix},
        {false, 0, 0ms, GpsReader::State::Unreachable},
        {true, 3, 0ms, GpsReader::State::Placed},
        {true, 2, 1999ms, GpsReader::State::Placed},
        {true, 2, 2000ms, GpsReader::State::Placed},
        {true, 3, 2001ms, GpsReader::State::NoFix},
        {true, 1, 0ms, GpsReader::State::NoFix},
        // A fix from just before gpsd went away still places; an old one
        // does not.
        {false, 3, 500ms, GpsReader::State::Placed},
        {false, 3, 2500ms, GpsReader::State::Unreachable},
    };
    const auto now = GpsReader::Clock::now();
    for (const Case& c : cases) {
        std::optional<GpsFix> latest;
        if (c.mode != 0) {
            latest = Fix(52.52, 13.405);
            latest->mode = c.mode;
            latest->received = now - c.age;
        }
        EXPECT_EQ(GpsReader::Judge(c.connected, latest, now), c.state)
            << c.connected << " mode " << c.mode << " age " << c.age.count();
    }
}

TEST(WigleLog, AuthModeIsWrittenAsWigleWritesIt)
{
    struct Case {
        Security security;
        bool transition, enterprise, wps;
        const char* mode;
        const char* written;
    };
    const Case cases[] = {
        {Security::Open, false, false, false, "ap", "[ESS]"},
        {Security::Open, false, false, false, "adhoc", "[IBSS]"},
        {Security::Wep, false, false, false, "ap", "[WEP][ESS]"},
        {Security::Wpa, false, false, false, "ap", "[WPA-PSK-TKIP][ESS]"},
        {Security::Wpa, false, true, false, "ap", "[WPA-EAP-TKIP][ESS]"},
        {Security::Wpa2, false, false, true, "ap", "[WPA2-PSK-CCMP][WPS][ESS]"},
        {Security::Wpa2, true, false, false, "ap", "[WPA-PSK-TKIP][WPA2-PSK-CCMP][ESS]"},
        {Security::Wpa2, false, true, false, "ap", "[WPA2-EAP-CCMP][ESS]"},
        {Security::Wpa3, false, false, false, "ap", "[WPA3-SAE-CCMP][ESS]"},
        {Security::Wpa3, true, false, true, "ap", "[WPA2-PSK-CCMP][WPA3-SAE-CCMP][WPS][ESS]"},
        {Security::Wpa3, false, true, false, "ap", "[WPA3-EAP-CCMP][ESS]"},
        {Security::Owe, false, false, false, "ap", "[RSN-OWE-CCMP][ESS]"},
        {Security::Owe, true, false, false, "ap", "[RSN-OWE-CCMP][OWE_TRANSITION][ESS]"},
    };
    for (const Case& c : cases) {
        NetworkView n = Network("02:00:00:00:00:01", "x", -50, c.security);
        n.details.transition = c.transition;
        n.details.enterprise = c.enterprise;
        n.details.wps = c.wps;
        n.mode = c.mode;
        EXPECT_EQ(WigleAuthMode(n), c.written) << c.written;
    }
}

TEST(WigleLog, HeaderAndRowHoldWiglesColumnsInOrder)
{
    // A value with a comma or an equals sign would break the line; one
    // not known is said so.
    const WigleLog::Source source{"1.2", "ThinkPad X13", "6.1.0-28-amd64", "wl,an=0", "x86_64", ""};
    EXPECT_EQ(WigleLog::Header(source),
              "WigleWifi-1.6,appRelease=1.2,model=ThinkPad X13,release=6.1.0-28-amd64,device=wl an 0,display=none,"
              "board=x86_64,brand=unknown,star=Sol,body=3,subBody=0\n"
              "MAC,SSID,AuthMode,FirstSeen,Channel,Frequency,RSSI,CurrentLatitude,CurrentLongitude,AltitudeMeters,"
              "AccuracyMeters,RCOIs,MfgrId,Type\n");

    NetworkView n = Network("3c:a6:2f:10:22:31", "FRITZ!Box", -58, Security::Wpa2);
    n.details.wps = true;
    EXPECT_EQ(WigleLog::Row(n, Fix(52.5200001, -13.405), kNoon + 999ms),
              "3c:a6:2f:10:22:31,FRITZ!Box,[WPA2-PSK-CCMP][WPS][ESS],2026-12-11 12:00:00,6,2437,-58,52.52000010,"
              "-13.40500000,74.5,17.1,,,WIFI\n");
    // A 2D fix has no altitude; gpsd may give no error estimate. A hidden
    // network has an empty name.
    GpsFix flat = Fix(-33.8688, 151.2093);
    flat.mode = 2;
    flat.altitudeM.reset();
    flat.accuracyM.reset();
    EXPECT_EQ(WigleLog::Row(Network("02:00:00:00:00:02", std::string(3, '\0'), -90), flat, kNoon),
              "02:00:00:00:00:02,,[ESS],2026-12-11 12:00:00,6,2437,-90,-33.86880000,151.20930000,0.0,0.0,,,WIFI\n");
}

// Existing files: an empty one gets the header, a WiGLE log is continued
// (a row cut short by a kill dropped), anything else is refused untouched.
TEST(WigleLog, AnExistingFileIsContinuedOnlyWhenItIsAWigleLog)
{
    const WigleLog::Source source{"1.2", "m", "r", "wlan0", "b", "v"};
    const std::string header = WigleLog::Header(source);
    const std::string row = "02:00:00:00:00:09,old,[ESS],2026-12-11 11:00:00,1,2412,-70,1.0,2.0,0.0,0.0,,,WIFI\n";
    const std::string added = WigleLog::Row(Network("02:00:00:00:00:01", "new", -40), Fix(1, 2), kNoon);
    const std::string folder = TempPath("wigle-folder");
    std::filesystem::create_directories(folder);
    struct Case {
        const char* what;
        std::optional<std::string> before;  // nullopt: no file
        std::string after;                  // "" when refused
        std::string error;
    };
    const Case cases[] = {
        {"missing", std::nullopt, header + added, ""},
        {"empty", "", header + added, ""},
        {"a log", header + row, header + row + added, ""},
        {"cut row", header + row + "02:00:00:00:00:0a,cut,[E", header + row + added, ""},
        {"other CSV", "bssid,ssid,channel\r\n", "", "is not a WiGLE 1.6 log"},
        {"header line only", "WigleWifi-1.6,appRelease=1\n", "", "is not a WiGLE 1.6 log"},
    };
    for (const Case& c : cases) {
        const std::string path = TempPath(std::string("existing-") + c.what + ".csv");
        std::filesystem::remove(path);
        if (c.before)
            std::ofstream(path, std::ios::binary) << *c.before;
        WigleLog log(path, source);
        std::string error;
        const bool opened = log.Open(error);
        EXPECT_EQ(opened, c.error.empty()) << c.what << ": " << error;
        if (opened) {
            EXPECT_TRUE(log.Append({Network("02:00:00:00:00:01", "new", -40)}, Fix(1, 2), kNoon, error)) << error;
            EXPECT_EQ(ReadFile(path), c.after) << c.what;
        } else {
            EXPECT_EQ(error, "cannot log to " + path + ": " + c.error + " (a new one needs a new file)") << c.what;
            EXPECT_EQ(ReadFile(path), *c.before) << c.what << ": a refused file is left as it was";
        }
    }
    WigleLog log(folder, source);
    std::string error;
    EXPECT_FALSE(log.Open(error));
    EXPECT_EQ(error, "cannot log to " + folder + ": is a directory");
}

TEST(KmlMap, EachNetworkSitsAtItsStrongestReading)
{
    const std::string path = TempPath("strongest.kml");
    KmlMap map(path);
    std::string error;
    ASSERT_TRUE(map.Start(error)) << error;
    json empty = ReadWalkFiles("-", path, error);
    ASSERT_FALSE(empty.is_null()) << error;
    EXPECT_EQ(empty["placemarks"].size(), 0u) << "the map is a whole document before any fix";

    // A is strongest at the second fix and only as strong at the third; B is
    // strongest at the first; C is heard at the third only.
    map.Take({Network("02:00:00:00:00:0a", "A", -60), Network("02:00:00:00:00:0b", "B", -70, Security::Wpa2)},
             Fix(52.1, 13.1), kNoon);
    map.Take({Network("02:00:00:00:00:0a", "A", -50)}, Fix(52.2, 13.2), kNoon + 1s);
    map.Take({Network("02:00:00:00:00:0a", "A", -50), Network("02:00:00:00:00:0b", "B", -80, Security::Wpa2),
              Network("02:00:00:00:00:0c", "C", -40, Security::Owe)},
             Fix(52.3, 13.3), kNoon + 2s);
    ASSERT_TRUE(map.Write(error)) << error;
    const json read = ReadWalkFiles("-", path, error);
    ASSERT_FALSE(read.is_null()) << error;
    EXPECT_EQ(read["styles"], json({"open", "secured"}));
    const json& marks = read["placemarks"];
    ASSERT_EQ(marks.size(), 3u);
    struct Expected {
        const char* name;
        const char* coordinates;
        const char* style;
        const char* signal;
    };
    const Expected expected[] = {
        {"A", "13.20000000,52.20000000,74.5", "#open", "Best signal: -50 dBm"},
        {"B", "13.10000000,52.10000000,74.5", "#secured", "Best signal: -70 dBm"},
        {"C", "13.30000000,52.30000000,74.5", "#secured", "Best signal: -40 dBm"},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(marks[i]["name"], expected[i].name);
        EXPECT_EQ(marks[i]["coordinates"], expected[i].coordinates) << expected[i].name;
        EXPECT_EQ(marks[i]["style"], expected[i].style) << expected[i].name;
        const std::string description = marks[i]["description"];
        EXPECT_NE(description.find(expected[i].signal), std::string::npos) << description;
        EXPECT_NE(description.find("Channel: 6 (2437 MHz)"), std::string::npos) << description;
    }
    EXPECT_NE(marks[1]["description"].get<std::string>().find("Security: wpa2"), std::string::npos);
}

// Names a network may send, as hex, and how both files write them: the
// same escapes as the other outputs, so that the bytes read back exactly,
// and nothing that breaks a row, the CSV or the XML.
TEST(MapNames, NamesWithAnyBytesStayIntactAndSafeInBothFiles)
{
    struct Case {
        const char* hex;
        std::string wigle;  // the SSID cell as read back
        std::string kml;    // the placemark's name as read back
    };
    const Case cases[] = {
        {"6122622c63", "a\"b,c", "a\"b,c"},                        // quote and comma
        {"610a62", "a\\x0ab", "a\\x0ab"},                          // a line break
        {"610d0a62", "a\\x0d\\x0ab", "a\\x0d\\x0ab"},              //
        {"3c623e26616d703b5d5d3e", "<b>&amp;]]>", "<b>&amp;]]>"},  // markup
        {"4eff74", "N\\xfft", "N\\xfft"},                          // not UTF-8
        {"80c0afeda080", "\\x80\\xc0\\xaf\\xed\\xa0\\x80",
         "\\x80\\xc0\\xaf\\xed\\xa0\\x80"},    // stray, overlong, surrogate
        {"e282", "\\xe2\\x82", "\\xe2\\x82"},  // cut short
        {"efbfbe78",
         "\xef\xbf\xbe"
         "x",
         "\\u{fffe}x"},                                // XML does not allow U+FFFE
        {"6100621b", "a\\x00b\\x1b", "a\\x00b\\x1b"},  // NUL, ESC
        {"5c783431", "\\\\x41", "\\\\x41"},            // a literal backslash
        {"436166c3a920f09f9880", "Caf\xc3\xa9 \xf0\x9f\x98\x80", "Caf\xc3\xa9 \xf0\x9f\x98\x80"},  // as it is
        {"3d312b31", "=1+1", "=1+1"},                                                              // uploaded as it is
        {"", "", "(hidden)"},
    };
    const std::string wiglePath = TempPath("names.csv");
    const std::string kmlPath = TempPath("names.kml");
    std::filesystem::remove(wiglePath);
    WigleLog wigle(wiglePath, {"1.2", "m", "r", "wlan0", "b", "v"});
    KmlMap map(kmlPath);
    std::string error;
    ASSERT_TRUE(wigle.Open(error)) << error;
    ASSERT_TRUE(map.Start(error)) << error;
    std::vector<NetworkView> scan;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "02:00:00:00:00:%02zx", i + 1);
        scan.push_back(Network(bssid, FromHex(cases[i].hex), -40));
    }
    ASSERT_TRUE(wigle.Append(scan, Fix(52.5, 13.4), kNoon, error)) << error;
    map.Take(scan, Fix(52.5, 13.4), kNoon);
    ASSERT_TRUE(map.Write(error)) << error;

    const json read = ReadWalkFiles(wiglePath, kmlPath, error);
    ASSERT_FALSE(read.is_null()) << error;
    ASSERT_EQ(read["rows"].size(), std::size(cases));
    ASSERT_EQ(read["placemarks"].size(), std::size(cases));
    EXPECT_EQ(read["lines"], std::size(cases) + 2) << "one line per row";
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const json& row = read["rows"][i];
        ASSERT_EQ(row.size(), 14u) << c.hex;
        EXPECT_EQ(row[1], c.wigle) << c.hex;
        EXPECT_EQ(row[13], "WIFI") << c.hex;
        EXPECT_EQ(read["placemarks"][i]["name"], c.kml) << c.hex;
        if (c.hex[0] != '\0') {
            EXPECT_EQ(Unescape(c.kml), FromHex(c.hex)) << c.hex;
            EXPECT_EQ(Unescape(c.wigle), FromHex(c.hex)) << c.hex;
        }
    }
}

}  // namespace
