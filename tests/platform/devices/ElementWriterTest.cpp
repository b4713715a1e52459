// The elements the simulated radio writes for its networks, read back by the
// decoder that reads real beacons.
#include "platform/devices/ElementWriter.h"
#include "platform/devices/nl80211/InformationElements.h"

#include <gtest/gtest.h>

namespace {

using platform::Security;
using platform::nl80211::DecodeElements;

// The simulated radio writes the elements its networks' details call for;
// every detail it can be given must come back from the decoder unchanged,
// on each band and width it can have.
TEST(ElementsWritten, EveryDetailSurvivesWritingAndDecoding)
{
    struct Kind {
        Security security;
        bool transition;
        bool enterprise;
    };
    const Kind kinds[] = {
        {Security::Open, false, false}, {Security::Wep, false, false},  {Security::Wpa, false, false},
        {Security::Wpa, false, true},   {Security::Owe, false, false},  {Security::Owe, true, false},
        {Security::Wpa2, false, false}, {Security::Wpa2, true, false},  {Security::Wpa2, false, true},
        {Security::Wpa2, true, true},   {Security::Wpa3, false, false}, {Security::Wpa3, true, false},
        {Security::Wpa3, false, true},  {Security::Wpa3, true, true},
    };
    struct Channel {
        std::uint32_t mhz;
        std::uint16_t width;
    };
    const Channel channels[] = {{2437, 20}, {2412, 40}, {2472, 40}, {5180, 80}, {5500, 160}, {5955, 160}, {6115, 320}};
    for (const Kind& kind : kinds) {
        for (const Channel& channel : channels) {
            for (const bool wps : {false, true}) {
                platform::WirelessBss bss;
                bss.bssid = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
                bss.ssid = {'C', 'a', 'f', 'e'};
                bss.frequencyMhz = channel.mhz;
                bss.privacy = kind.security != Security::Open;
                bss.details = {kind.security, kind.transition, kind.enterprise, wps, channel.width};
                SCOPED_TRACE(testing::Message() << platform::SecurityName(kind.security) << " transition "
                                                << kind.transition << " enterprise " << kind.enterprise << " wps "
                                                << wps << " " << channel.mhz << " MHz " << channel.width);
                const auto decoded = DecodeElements(platform::WriteElements(bss), bss.privacy);
                EXPECT_EQ(decoded.details, bss.details);
                EXPECT_EQ(decoded.ssid, bss.ssid);
            }
        }
    }
}

}  // namespace
