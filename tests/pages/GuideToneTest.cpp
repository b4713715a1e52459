#include "pages/GuideTone.h"

#include <gtest/gtest.h>

namespace {

TEST(GuideTone, RateRisesWithTheSignal)
{
    struct Case {
        LONG rssi;
        DWORD milliHertz;
    };
    // One a second at -90 dBm, ten at -30 dBm, the same factor for each dB.
    const Case cases[] = {
        {-120, 1000}, {-90, 1000}, {-89, 1039},  {-75, 1778}, {-60, 3162},
        {-45, 5623},  {-31, 9624}, {-30, 10000}, {0, 10000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CGuideTone::RateFor(c.rssi), c.milliHertz) << c.rssi << " dBm";
}

TEST(GuideTone, LatestSignalDecidesUntilThreeQuietSeconds)
{
    struct Case {
        const char* name;
        DWORD heardAt;  // 0: never heard
        LONG rssi;
        DWORD now;
        DWORD rate;
        DWORD quietIn;
    };
    const Case cases[] = {
        {"just heard", 1000, -60, 1000, 3162, 3000},
        {"a moment before falling quiet", 1000, -60, 3999, 3162, 1},
        {"three seconds on", 1000, -60, 4000, 0, 0},
        {"long after", 1000, -60, 90000, 0, 0},
        {"never heard", 0, -60, 1000, 0, 0},
        {"across the tick count's wrap", 0xFFFFFF00u, -30, 0x100, 10000, 2488},
    };
    for (const Case& c : cases) {
        CGuideTone tone;
        if (c.heardAt != 0)
            tone.Heard(c.heardAt, c.rssi);
        EXPECT_EQ(tone.RateAt(c.now), c.rate) << c.name;
        EXPECT_EQ(tone.QuietIn(c.now), c.quietIn) << c.name;
    }

    CGuideTone tone;
    tone.Heard(1000, -90);
    tone.Heard(1500, -30);
    EXPECT_EQ(tone.RateAt(2000), 10000u);  // the latest, not the first
    tone.Forget();
    EXPECT_EQ(tone.RateAt(2000), 0u);
}

}  // namespace
