// Which zoom the window takes at start and after a zoom key, and the zoom
// kept for the next start in the settings file.
#include "platform/core/PixelZoom.h"
#include "platform/registry/Registry.h"
#include "tests/support/TempConfigHome.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using platform::core::ZoomKey;

// Available areas in the desktop's pixels: a 1080-line screen, a laptop's
// 768 lines and a 1440-line screen, each less a panel.
constexpr int kFullHdWidth = 1920, kFullHdHeight = 1050;
constexpr int kLaptopWidth = 1366, kLaptopHeight = 738;
constexpr int kQhdWidth = 2560, kQhdHeight = 1410;

struct StartCase {
    const char* name;
    int asked;
    int kept;
    int width;
    int height;
    int zoom;
};

void PrintTo(const StartCase& c, std::ostream* os)
{
    *os << c.name;
}

class ZoomAtStart : public ::testing::TestWithParam<StartCase> { };

TEST_P(ZoomAtStart, AskedThenKeptThenTheScreensChoice)
{
    const StartCase& c = GetParam();
    EXPECT_EQ(platform::core::StartZoom(c.asked, c.kept, c.width, c.height), c.zoom);
}

INSTANTIATE_TEST_SUITE_P(Table, ZoomAtStart,
                         ::testing::Values(
                             // Nothing asked or kept: the largest zoom within 70 % of the height.
                             StartCase{"FullHd", 0, 0, kFullHdWidth, kFullHdHeight, 2},
                             StartCase{"Laptop", 0, 0, kLaptopWidth, kLaptopHeight, 1},
                             StartCase{"Qhd", 0, 0, kQhdWidth, kQhdHeight, 3},
                             StartCase{"TinyScreen", 0, 0, 200, 200, 1},
                             // Kept: used as far as the window fits the whole height.
                             StartCase{"KeptThree", 0, 3, kFullHdWidth, kFullHdHeight, 3},
                             StartCase{"KeptOneOnQhd", 0, 1, kQhdWidth, kQhdHeight, 1},
                             StartCase{"KeptFourCappedOnFullHd", 0, 4, kFullHdWidth, kFullHdHeight, 3},
                             StartCase{"KeptTwoOnANarrowScreen", 0, 2, 400, 1000, 1},
                             // Kept values outside 1 to 4 count as none.
                             StartCase{"KeptZero", 0, 0, kQhdWidth, kQhdHeight, 3},
                             StartCase{"KeptFive", 0, 5, kFullHdWidth, kFullHdHeight, 2},
                             StartCase{"KeptNegative", 0, -1, kFullHdWidth, kFullHdHeight, 2},
                             // --zoom wins over the kept zoom, and is capped the same way.
                             StartCase{"AskedOverKept", 1, 3, kFullHdWidth, kFullHdHeight, 1},
                             StartCase{"AskedFourOn1024", 4, 0, 1280, 1024, 3}),
                         [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

struct StepCase {
    const char* name;
    int current;
    ZoomKey key;
    int width;
    int height;
    int zoom;
};

void PrintTo(const StepCase& c, std::ostream* os)
{
    *os << c.name;
}

class ZoomAfterKey : public ::testing::TestWithParam<StepCase> { };

TEST_P(ZoomAfterKey, StepsWithinWhatFits)
{
    const StepCase& c = GetParam();
    EXPECT_EQ(platform::core::SteppedZoom(c.current, c.key, c.width, c.height), c.zoom);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ZoomAfterKey,
    ::testing::Values(StepCase{"LargerFits", 2, ZoomKey::Larger, kFullHdWidth, kFullHdHeight, 3},
                      // Four times as high does not fit 1050 lines.
                      StepCase{"LargerAtTheLargestThatFits", 3, ZoomKey::Larger, kFullHdWidth, kFullHdHeight, 3},
                      StepCase{"LargerAtFour", 4, ZoomKey::Larger, 4000, 3000, 4},
                      // A zoom too large for a screen that shrank stays
                      // until made smaller: a larger step never shrinks.
                      StepCase{"LargerWhenAlreadyTooLarge", 3, ZoomKey::Larger, kLaptopWidth, kLaptopHeight, 3},
                      StepCase{"Smaller", 3, ZoomKey::Smaller, kFullHdWidth, kFullHdHeight, 2},
                      StepCase{"SmallerAtOne", 1, ZoomKey::Smaller, kFullHdWidth, kFullHdHeight, 1},
                      StepCase{"ScreenDefaultFromThree", 3, ZoomKey::ScreenDefault, kFullHdWidth, kFullHdHeight, 2},
                      StepCase{"ScreenDefaultFromOne", 1, ZoomKey::ScreenDefault, kQhdWidth, kQhdHeight, 3}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

constexpr const char* kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
constexpr const char* kProgramValues = "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\r\n"
                                       "\"FontSize\"=dword:00000010\r\n"
                                       "\"Adapter\"=\"wlan0\"\r\n\r\n";

struct KeptCase {
    const char* name;
    const char* zoomValue;  // the line under the zoom's key, or null for no key
    int kept;
};

void PrintTo(const KeptCase& c, std::ostream* os)
{
    *os << c.name;
}

class KeptZoomFile : public ::testing::TestWithParam<KeptCase> { };

TEST_P(KeptZoomFile, OnlyANumberFromOneToFourIsTaken)
{
    const KeptCase& c = GetParam();
    TempConfigHome home;
    std::string file = std::string(kHeader) + kProgramValues;
    if (c.zoomValue != nullptr)
        file += std::string("[HKEY_LOCAL_MACHINE\\Software\\Tarvolin\\Window]\r\n") + c.zoomValue + "\r\n\r\n";
    home.WriteFile(file);
    EXPECT_EQ(platform::core::KeptZoom(), c.kept);
    // Reading changes nothing in the file.
    EXPECT_EQ(home.ReadFile(), file);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeptZoomFile,
    ::testing::Values(KeptCase{"NoKey", nullptr, 0}, KeptCase{"Three", "\"Zoom\"=dword:00000003", 3},
                      KeptCase{"One", "\"Zoom\"=dword:00000001", 1}, KeptCase{"Zero", "\"Zoom\"=dword:00000000", 0},
                      KeptCase{"Seven", "\"Zoom\"=dword:00000007", 0},
                      KeptCase{"AllOnes", "\"Zoom\"=dword:ffffffff", 0}, KeptCase{"Text", "\"Zoom\"=\"3\"", 0},
                      KeptCase{"Binary", "\"Zoom\"=hex:03,00,00,00", 0},
                      KeptCase{"OtherName", "\"Scale\"=dword:00000003", 0}),
    [](const ::testing::TestParamInfo<KeptCase>& info) { return std::string(info.param.name); });

TEST(KeepZoom, KeepsTheZoomBesideTheProgramsValuesAndTheirLaterSave)
{
    TempConfigHome home;
    home.WriteFile(std::string(kHeader) + kProgramValues);
    ASSERT_TRUE(platform::core::KeepZoom(3));
    EXPECT_EQ(platform::core::KeptZoom(), 3);
    std::string file = home.ReadFile();
    EXPECT_NE(file.find("\"FontSize\"=dword:00000010"), std::string::npos) << file;
    EXPECT_NE(file.find("\"Adapter\"=\"wlan0\""), std::string::npos) << file;

    // The program saves its own values at its stop, as it does: the zoom
    // stays.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Tarvolin", 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const BYTE size[4] = {20, 0, 0, 0};
    RegSetValueExW(key, u"FontSize", 0, REG_DWORD, size, sizeof size);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(platform::core::KeptZoom(), 3);
    file = home.ReadFile();
    EXPECT_NE(file.find("\"FontSize\"=dword:00000014"), std::string::npos) << file;

    // Ctrl+0 keeps none: the screen chooses at the next start.
    ASSERT_TRUE(platform::core::KeepZoom(0));
    EXPECT_EQ(platform::core::KeptZoom(), 0);
    EXPECT_NE(home.ReadFile().find("\"Adapter\"=\"wlan0\""), std::string::npos);
}

}  // namespace
