#include "platform/devices/OuiRegistry.h"
#include "platform/devices/BssDetails.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using platform::OuiRegistry;
using Mac = std::array<std::uint8_t, 6>;

// The registry's own layout: a "(hex)" line, a "(base 16)" line, address
// lines, CRLF line ends, entries in no order.
constexpr const char* kExcerpt =
    "OUI/MA-L                                                    Organization                                 \r\n"
    "company_id                                                  Organization                                 \r\n"
    "\r\n"
    "3C-A6-2F   (hex)\t\tAVM Audiovisuelles Marketing und Computersysteme GmbH\r\n"
    "3CA62F     (base 16)\t\tAVM Audiovisuelles Marketing und Computersysteme GmbH\r\n"
    "\t\t\t\tAlt-Moabit 95\r\n"
    "\t\t\t\tBerlin    10559\r\n"
    "\t\t\t\tDE\r\n"
    "\r\n"
    "00-1A-2B   (hex)\t\tAyecom Technology Co., Ltd.\r\n"
    "001A2B     (base 16)\t\tAyecom Technology Co., Ltd.\r\n"
    "\r\n"
    "001A2C     (base 16)\t\t\r\n"                   // no name: skipped
    "00E04C  x  (base 16)\t\tNot a line\r\n"         // text between the OUI and the marker
    "0C8E29     (base 16)\t\tArcadyan Corporation";  // last line without a line end

TEST(OuiRegistry, FindsTheMakerByTheFirstThreeBytes)
{
    const OuiRegistry registry = OuiRegistry::FromText(kExcerpt);
    EXPECT_EQ(registry.Size(), 3u);
    struct Case {
        Mac mac;
        const char* vendor;
    };
    const Case cases[] = {
        {{0x3c, 0xa6, 0x2f, 0x10, 0x22, 0x31}, "AVM Audiovisuelles Marketing und Computersysteme GmbH"},
        {{0x00, 0x1a, 0x2b, 0xff, 0xff, 0xff}, "Ayecom Technology Co., Ltd."},
        {{0x0c, 0x8e, 0x29, 0x70, 0x00, 0x01}, "Arcadyan Corporation"},
        {{0x00, 0x1a, 0x2c, 0x00, 0x00, 0x01}, ""},  // listed without a name
        {{0x00, 0xe0, 0x4c, 0x00, 0x00, 0x01}, ""},  // not a well-formed line
        {{0x3c, 0xa6, 0x30, 0x00, 0x00, 0x01}, ""},  // not assigned
        {{0x3e, 0xa6, 0x2f, 0x10, 0x22, 0x31}, ""},  // locally administered twin of an assigned OUI
        {{0x3d, 0xa6, 0x2f, 0x10, 0x22, 0x31}, ""},  // group address
    };
    for (const Case& c : cases)
        EXPECT_EQ(registry.Find(c.mac), c.vendor) << int(c.mac[0]) << ":" << int(c.mac[1]) << ":" << int(c.mac[2]);
}

TEST(OuiRegistry, AMissingFileKnowsNoMakerAndDoesNotFail)
{
    const OuiRegistry registry = OuiRegistry::FromFile(::testing::TempDir() + "no-such-dir/oui.txt");
    EXPECT_EQ(registry.Size(), 0u);
    EXPECT_EQ(registry.Find({0x3c, 0xa6, 0x2f, 0, 0, 1}), "");
}

TEST(OuiRegistry, ReadsDebiansRegistry)
{
    if (!std::ifstream(OuiRegistry::kSystemPath))
        GTEST_SKIP() << OuiRegistry::kSystemPath << " is missing (install ieee-data)";
    const OuiRegistry& registry = OuiRegistry::System();
    EXPECT_GT(registry.Size(), 10000u);
    EXPECT_EQ(&registry, &OuiRegistry::System());
    EXPECT_NE(registry.Find({0x3c, 0xa6, 0x2f, 0, 0, 1}).find("AVM"), std::string_view::npos);
}

TEST(BssDetails, BandOfFrequency)
{
    using platform::Band;
    struct Case {
        std::uint32_t mhz;
        Band band;
        const char* name;
    };
    const Case cases[] = {
        {2412, Band::Ghz2_4, "2.4"}, {2484, Band::Ghz2_4, "2.4"}, {5180, Band::Ghz5, "5"}, {5885, Band::Ghz5, "5"},
        {5935, Band::Ghz6, "6"},     {5975, Band::Ghz6, "6"},     {7115, Band::Ghz6, "6"}, {58320, Band::Ghz60, "60"},
        {0, Band::Unknown, ""},      {3000, Band::Unknown, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::BandOfFrequency(c.mhz), c.band) << c.mhz;
        EXPECT_EQ(platform::BandName(c.band), c.name) << c.mhz;
    }
}

}  // namespace
