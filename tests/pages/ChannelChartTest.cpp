// The channels page's arithmetic: bands and channels by frequency, the span a
// network occupies, the quietest channel, the axis and the hills.
#include "pages/ChannelChart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ChannelChart, FrequencyDecidesBandAndChannel)
{
    struct Case {
        ULONG frequency;
        bool known;
        ChannelBand band;
        int channel;
    };
    const Case cases[] = {
        {2412, true, ChannelBand::Ghz2_4, 1},   {2472, true, ChannelBand::Ghz2_4, 13},
        {2484, true, ChannelBand::Ghz2_4, 14},  {2414, true, ChannelBand::Ghz2_4, 0},  // between channels
        {5180, true, ChannelBand::Ghz5, 36},    {5825, true, ChannelBand::Ghz5, 165},
        {5955, true, ChannelBand::Ghz6, 1},     {5935, true, ChannelBand::Ghz6, 2},
        {6415, true, ChannelBand::Ghz6, 93},    {7115, true, ChannelBand::Ghz6, 233},
        {0, false, ChannelBand::Ghz2_4, 0},     {3000, false, ChannelBand::Ghz2_4, 0},
        {58320, false, ChannelBand::Ghz2_4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequency);
        ChannelBand band{};
        ASSERT_EQ(ChannelChart::BandOf(c.frequency, band), c.known);
        EXPECT_EQ(ChannelChart::ChannelOf(c.frequency), c.channel);
        if (c.known) {
            EXPECT_EQ(band, c.band);
        }
        if (c.known && c.channel != 0) {
            EXPECT_EQ(ChannelChart::FrequencyOf(band, c.channel), static_cast<int>(c.frequency));
        }
    }
}

TEST(ChannelChart, NetworkOccupiesTheBlockOfItsPrimaryChannel)
{
    struct Case {
        const char* what;
        ULONG frequency;
        ULONG width;
        MhzSpan span;
    };
    const Case cases[] = {
        {"2.4 GHz 20 MHz on 6", 2437, 20, {2427, 2447}},
        {"2.4 GHz 40 MHz on 1 reaches up", 2412, 40, {2402, 2442}},
        {"2.4 GHz 40 MHz on 11 reaches down", 2462, 40, {2432, 2472}},
        {"2.4 GHz no wider than 40 MHz", 2412, 80, {2402, 2442}},
        {"5 GHz 40 MHz on 40 pairs with 36", 5200, 40, {5170, 5210}},
        {"5 GHz 80 MHz on 44: 36 to 48", 5220, 80, {5170, 5250}},
        {"5 GHz 160 MHz on 116: 100 to 128", 5580, 160, {5490, 5650}},
        {"5 GHz 80 MHz on 161: 149 to 161", 5805, 80, {5735, 5815}},
        {"6 GHz 160 MHz on 1", 5955, 160, {5945, 6105}},
        {"6 GHz 320 MHz on 5", 5975, 320, {5945, 6265}},
        {"off the plan: centred", 5190, 40, {5170, 5210}},
        {"unknown band: centred", 3000, 20, {2990, 3010}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChannelChart::Occupied(c.frequency, c.width), c.span) << c.what;
}

TEST(ChannelChart, QuietestChannelCountsOnlyOverlappingPower)
{
    struct Case {
        const char* what;
        ChannelBand band;
        std::vector<ChartNetwork> heard;
        int channel;
        int networks;
    };
    const Case cases[] = {
        {"nothing heard: no advice", ChannelBand::Ghz2_4, {}, 0, 0},
        {"only other bands heard: no advice", ChannelBand::Ghz5, {{2412, 20, -60}, {5955, 20, -60}}, 0, 0},
        {"one on 1: the next free", ChannelBand::Ghz2_4, {{2412, 20, -80}}, 6, 0},
        // Channel 5 only touches 1 (2422 MHz); channel 3 overlaps 1 and 6.
        {"a neighbour that only touches does not count", ChannelBand::Ghz2_4, {{2432, 20, -30}, {2462, 20, -80}}, 1, 0},
        {"an overlapping neighbour counts", ChannelBand::Ghz2_4, {{2422, 20, -40}, {2462, 20, -70}}, 11, 1},
        {"the weaker sum wins over fewer networks",
         ChannelBand::Ghz2_4,
         {{2412, 20, -90}, {2412, 20, -90}, {2437, 20, -50}, {2462, 20, -60}},
         1,
         2},
        {"equal power: the lower channel",
         ChannelBand::Ghz2_4,
         {{2437, 20, -70}, {2462, 20, -70}, {2412, 20, -70}},
         1,
         1},
        {"a 40 MHz network covers its secondary channel",
         ChannelBand::Ghz2_4,
         {{2412, 40, -80}, {2462, 20, -85}},
         11,
         1},
        {"6 GHz channel 1 is not 2.4 GHz channel 1",
         ChannelBand::Ghz2_4,
         {{5955, 20, -30}, {2437, 20, -90}, {2462, 20, -90}},
         1,
         0},
        // Equally quiet 5 GHz channels: the first without radar detection.
        {"5 GHz: 80 MHz on 36 fills 36 to 48, 52 is free but watches for radar",
         ChannelBand::Ghz5,
         {{5180, 80, -70}},
         149,
         0},
        {"5 GHz: 160 MHz fills 36 to 64", ChannelBand::Ghz5, {{5180, 160, -70}}, 149, 0},
        {"5 GHz: equal power on 52 and 149, the rest louder: 149",
         ChannelBand::Ghz5,
         {{5180, 80, -60},
          {5260, 20, -85},
          {5280, 20, -60},
          {5300, 40, -60},
          {5500, 160, -60},
          {5660, 80, -60},
          {5745, 20, -85},
          {5765, 20, -60},
          {5785, 40, -60},
          {5825, 20, -60}},
         149,
         1},
        {"5 GHz: a radar channel that is quieter still wins",
         ChannelBand::Ghz5,
         {{5180, 80, -70}, {5745, 80, -70}, {5825, 20, -80}},
         52,
         0},
        {"5 GHz: the weakest of all taken",
         ChannelBand::Ghz5,
         {{5180, 160, -70}, {5500, 160, -60}, {5580, 160, -65}, {5660, 80, -50}, {5745, 80, -55}, {5825, 20, -88}},
         165,
         1},
        {"6 GHz", ChannelBand::Ghz6, {{5955, 20, -60}}, 5, 0},
    };
    for (const Case& c : cases) {
        const QuietChannel quiet = ChannelChart::Quietest(c.band, c.heard);
        EXPECT_EQ(quiet.channel, c.channel) << c.what;
        EXPECT_EQ(quiet.networks, c.networks) << c.what;
    }
}

TEST(ChannelChart, AxisSpansTheChannelsThatHoldNetworks)
{
    struct Case {
        const char* what;
        ChannelBand band;
        std::vector<ChartNetwork> networks;
        int firstTick;
        int lastTick;
        std::size_t breaks;
        std::vector<int> absent;  // channels that must not be on the axis
    };
    const Case cases[] = {
        {"2.4 GHz empty: 1 to 13", ChannelBand::Ghz2_4, {}, 1, 13, 0, {14}},
        {"2.4 GHz with a 6 GHz network: the same", ChannelBand::Ghz2_4, {{5955, 20, -40}}, 1, 13, 0, {14}},
        {"2.4 GHz with channel 14", ChannelBand::Ghz2_4, {{2484, 20, -60}}, 1, 14, 0, {}},
        {"5 GHz: 36 and 149 with a break between",
         ChannelBand::Ghz5,
         {{5180, 20, -60}, {5745, 20, -60}},
         36,
         149,
         1,
         {64, 100, 144}},
        {"5 GHz: 80 MHz on 100", ChannelBand::Ghz5, {{5500, 80, -60}}, 100, 112, 0, {36, 149}},
        {"6 GHz: channel 1 alone", ChannelBand::Ghz6, {{5955, 20, -60}}, 1, 5, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ChannelChart chart(c.band, c.networks, 30, 230);
        const std::vector<AxisTick> ticks = chart.Ticks();
        ASSERT_FALSE(ticks.empty());
        EXPECT_EQ(ticks.front().channel, c.firstTick);
        EXPECT_EQ(ticks.back().channel, c.lastTick);
        EXPECT_EQ(chart.Breaks().size(), c.breaks);
        for (std::size_t i = 1; i < ticks.size(); ++i)
            EXPECT_GT(ticks[i].x, ticks[i - 1].x) << "channel " << ticks[i].channel;
        EXPECT_GE(ticks.front().x, 30);
        EXPECT_LT(chart.Right(), 230);
        for (int absent : c.absent)
            for (const AxisTick& tick : ticks)
                EXPECT_NE(tick.channel, absent);
    }
}

TEST(ChannelChart, AdvisedChannelIsOnTheAxisWithoutNetworks)
{
    struct Case {
        const char* what;
        ChannelBand band;
        std::vector<ChartNetwork> networks;
        int advised;
    };
    const Case cases[] = {
        {"5 GHz: networks on 36, advice 149", ChannelBand::Ghz5, {{5180, 80, -60}}, 149},
        {"5 GHz: networks on 149, advice 36", ChannelBand::Ghz5, {{5745, 20, -60}}, 36},
        {"6 GHz: networks on 1, advice 233", ChannelBand::Ghz6, {{5955, 160, -60}}, 233},
        {"2.4 GHz: advice inside the plan's span", ChannelBand::Ghz2_4, {{2412, 20, -60}}, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ChannelChart chart(c.band, c.networks, 30, 230, c.advised);
        const std::vector<AxisTick> ticks = chart.Ticks();
        int found = 0;
        for (const AxisTick& tick : ticks)
            found += tick.channel == c.advised ? 1 : 0;
        EXPECT_EQ(found, 1);
        EXPECT_LT(chart.Right(), 230);
    }
    // Without advice the far channel stays off.
    const ChannelChart plain(ChannelBand::Ghz5, std::vector<ChartNetwork>{{5180, 80, -60}}, 30, 230);
    for (const AxisTick& tick : plain.Ticks())
        EXPECT_NE(tick.channel, 149);
}

// The axis, its ticks and every hill end before the right edge, whatever the
// width and however scattered the networks; channels keep
// kMinChannelPixels where that fits.
TEST(ChannelChart, AxisEndsBeforeTheRightEdgeOverATableOfWidths)
{
    struct Scan {
        const char* what;
        ChannelBand band;
        std::vector<ChartNetwork> networks;
        int advised;
    };
    std::vector<ChartNetwork> everyChannel6;
    for (int channel = 1; channel <= 233; channel += 16)
        everyChannel6.push_back({static_cast<ULONG>(5950 + 5 * channel), 20, -60});
    const Scan scans[] = {
        {"an ordinary 6 GHz scan",
         ChannelBand::Ghz6,
         {{5955, 160, -55},
          {6115, 80, -70},
          {6275, 20, -75},
          {6435, 160, -62},
          {6595, 20, -80},
          {6755, 80, -66},
          {6915, 20, -72},
          {7075, 20, -81}},
         213},
        {"6 GHz: a network every 16 channels", ChannelBand::Ghz6, everyChannel6, 0},
        {"5 GHz: the three sub-bands",
         ChannelBand::Ghz5,
         {{5180, 20, -60}, {5260, 20, -60}, {5500, 40, -60}, {5660, 20, -60}, {5745, 80, -60}, {5865, 20, -70}},
         165},
        {"2.4 GHz", ChannelBand::Ghz2_4, {{2412, 40, -50}, {2484, 20, -70}}, 6},
    };
    const int widths[] = {60, 100, 150, 161, 173, 187, 191, 199, 207, 214, 230, 300};
    for (const Scan& scan : scans)
        for (int width : widths) {
            SCOPED_TRACE(std::string(scan.what) + ", width " + std::to_string(width));
            const int left = 27;
            const int right = left + width;
            const ChannelChart chart(scan.band, scan.networks, left, right, scan.advised);
            EXPECT_LT(chart.Right(), right);
            for (const AxisTick& tick : chart.Ticks()) {
                EXPECT_GE(tick.x, left);
                EXPECT_LT(tick.x, right) << "channel " << tick.channel;
            }
            for (const ChartNetwork& n : scan.networks) {
                const Hill hill = chart.HillOf(n, 0, 80);
                EXPECT_GE(hill.footLeft, left);
                EXPECT_LT(hill.footRight, right);
            }
        }
    // A width that holds an ordinary scan gives its 20 MHz networks
    // kMinChannelPixels or more.
    const ChannelChart roomy(ChannelBand::Ghz5, scans[2].networks, 27, 214, scans[2].advised);
    for (const ChartNetwork& n : scans[2].networks) {
        const Hill hill = roomy.HillOf(n, 0, 80);
        EXPECT_GE(hill.topRight - hill.topLeft, ChannelChart::kMinChannelPixels * static_cast<int>(n.width) / 20)
            << n.frequency;
    }
}

TEST(ChannelChart, ContrastOfColours)
{
    struct Case {
        COLORREF a;
        COLORREF b;
        double ratio;
    };
    const Case cases[] = {
        {RGB(0, 0, 0), RGB(255, 255, 255), 21.0},
        {RGB(255, 255, 255), RGB(0, 0, 0), 21.0},
        {RGB(119, 119, 119), RGB(255, 255, 255), 4.48},
        // A hill's red on the page's light tint: too faint for text.
        {RGB(200, 30, 30), RGB(0xB4, 0x91, 0x84), 2.0},
        {RGB(40, 40, 40), RGB(40, 40, 40), 1.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ChannelChart::Contrast(c.a, c.b), c.ratio, 0.01) << std::hex << c.a << " on " << c.b;
}

TEST(ChannelChart, SignalRowsAndHillOutline)
{
    struct Case {
        LONG dbm;
        int y;
    };
    const Case rows[] = {{-20, 10}, {-10, 10}, {-60, 50}, {-100, 90}, {-120, 90}, {-30, 20}};
    for (const Case& c : rows)
        EXPECT_EQ(ChannelChart::Y(c.dbm, 10, 90), c.y) << c.dbm;

    const Hill hill{10, 14, 30, 34, 20, 60};
    struct Column {
        int x;
        int y;
    };
    const Column columns[] = {{9, -1}, {10, 60}, {12, 40}, {14, 20}, {22, 20}, {30, 20}, {32, 40}, {34, 60}, {35, -1}};
    for (const Column& c : columns)
        EXPECT_EQ(hill.OutlineAt(c.x), c.y) << "x " << c.x;
}

TEST(ChannelChart, ColourFollowsTheBssid)
{
    const BYTE a[6] = {0x02, 0xc1, 0x7e, 0, 0, 1};
    const BYTE b[6] = {0x02, 0xc1, 0x7e, 0, 0, 2};
    const BYTE a2[6] = {0x02, 0xc1, 0x7e, 0, 0, 1};
    EXPECT_EQ(ChannelChart::ColourOf(a), ChannelChart::ColourOf(a2));
    EXPECT_NE(ChannelChart::ColourOf(a), ChannelChart::ColourOf(b));
}

}  // namespace
