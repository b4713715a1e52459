#include "platform/devices/nl80211/BssDecoder.h"

#include "NetlinkBuilder.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

using namespace nltest;
using platform::WirelessBss;
using platform::nl80211::DecodeBss;
using platform::nl80211::DecodeScanResult;
using platform::nl80211::SplitElements;

namespace {

// A BSS built like TypicalBss but with the given attributes in place of its
// elements, signal or capability; each row of a table names what differs.
Bytes BssWith(std::initializer_list<std::pair<std::uint16_t, Bytes>> attributes, bool withSignal = true,
              bool withCapability = true)
{
    Bytes bss;
    Put(bss, NL80211_BSS_BSSID, {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
    Put(bss, NL80211_BSS_FREQUENCY, Value<std::uint32_t>(2412));
    if (withCapability)
        Put(bss, NL80211_BSS_CAPABILITY, Value<std::uint16_t>(0x0001));
    if (withSignal)
        Put(bss, NL80211_BSS_SIGNAL_MBM, Value<std::int32_t>(-7000));
    for (const auto& [type, payload] : attributes)
        Put(bss, type, payload);
    return bss;
}

Bytes Elements(std::initializer_list<Bytes> elements)
{
    return Join(elements);
}

std::string SsidOf(const WirelessBss& bss)
{
    return std::string(bss.ssid.begin(), bss.ssid.end());
}

}  // namespace

TEST(BssDecoder, DecodesEveryFieldOfATypicalAccessPoint)
{
    const auto bss = DecodeScanResult(ScanResultMessage(TypicalBss()));
    ASSERT_TRUE(bss);
    EXPECT_EQ(bss->bssid, (std::array<std::uint8_t, 6>{0x02, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(SsidOf(*bss), "Cafe");
    EXPECT_EQ(bss->rssiDbm, -55);
    EXPECT_EQ(bss->frequencyMhz, 2437u);
    EXPECT_TRUE(bss->privacy);
    EXPECT_EQ(bss->infrastructureMode, 1u);
    EXPECT_EQ(bss->beaconPeriod, 100u);
}

struct SsidCase {
    const char* name;
    Bytes bss;
    std::string ssid;
};

void PrintTo(const SsidCase& row, std::ostream* out)
{
    *out << row.name;
}

class BssSsid : public testing::TestWithParam<SsidCase> { };

TEST_P(BssSsid, TakesTheNameFromTheCheckedElements)
{
    const auto bss = DecodeBss(GetParam().bss);
    ASSERT_TRUE(bss) << "the BSS itself is sound and must be kept";
    EXPECT_EQ(SsidOf(*bss), GetParam().ssid);
    EXPECT_LE(bss->ssid.size(), platform::nl80211::kMaxSsidLength);
}

const Bytes kRates = Element(1, {0x82, 0x84});
const std::string k32(32, 'N');
const std::string k33(33, 'N');

INSTANTIATE_TEST_SUITE_P(
    Cases, BssSsid,
    testing::Values(
        SsidCase{"ThirtyTwoBytes", BssWith({{NL80211_BSS_INFORMATION_ELEMENTS, Elements({Element(0, Text(k32))})}}),
                 k32},
        SsidCase{"LongerThanAnySsid", BssWith({{NL80211_BSS_INFORMATION_ELEMENTS, Elements({Element(0, Text(k33))})}}),
                 ""},
        SsidCase{"ZeroLengthHidden", BssWith({{NL80211_BSS_INFORMATION_ELEMENTS, Elements({Element(0, {}), kRates})}}),
                 ""},
        SsidCase{"ZeroBytesHidden", BssWith({{NL80211_BSS_INFORMATION_ELEMENTS, Elements({Element(0, Bytes(6, 0))})}}),
                 std::string(6, '\0')},
        SsidCase{"NoSsidElement", BssWith({{NL80211_BSS_INFORMATION_ELEMENTS, Elements({kRates})}}), ""},
        SsidCase{"NoElementsAtAll", BssWith({}), ""},
        SsidCase{"SsidRunsPastTheBuffer",
                 BssWith({{NL80211_BSS_INFORMATION_ELEMENTS, Elements({Element(0, Text("Cafe"), 10)})}}), ""},
        SsidCase{"ElementAfterTheSsidRunsPastTheBuffer",
                 BssWith({{NL80211_BSS_INFORMATION_ELEMENTS,
                           Elements({Element(0, Text("Cafe")), Element(1, {0x82}, 200)})}}),
                 "Cafe"},
        SsidCase{
            "SsidAfterABrokenElementIsNotTrusted",
            BssWith({{NL80211_BSS_INFORMATION_ELEMENTS, Elements({Element(1, {0x82}, 3), Element(0, Text("Cafe"))})}}),
            // The rates element claims 3 bytes and so swallows the SSID
            // element's id and length; what follows is read as one
            // more element of id 'a' and is no SSID.
            ""},
        SsidCase{"LoneTrailingByte",
                 BssWith({{NL80211_BSS_INFORMATION_ELEMENTS, Join({Element(0, Text("Cafe")), Bytes{0xdd}})}}), "Cafe"},
        SsidCase{"BeaconElementsWhenNothingElse",
                 BssWith({{NL80211_BSS_BEACON_IES, Elements({Element(0, Text("Beacon"))})}}), "Beacon"},
        SsidCase{"LatestFrameBeforeBeacon",
                 BssWith({{NL80211_BSS_BEACON_IES, Elements({Element(0, {})})},
                          {NL80211_BSS_INFORMATION_ELEMENTS, Elements({Element(0, Text("Probe"))})}}),
                 "Probe"},
        SsidCase{"BytesKeptAsBroadcast",
                 BssWith({{NL80211_BSS_INFORMATION_ELEMENTS, Elements({Element(0, {0xc3, 0xa9, 0x01, 0xff})})}}),
                 "\xc3\xa9\x01\xff"}),
    [](const testing::TestParamInfo<SsidCase>& info) { return info.param.name; });

TEST(BssDecoder, SplitElementsKeepsTheElementsBeforeADamagedOne)
{
    const Bytes bytes = Join({Element(0, Text("A")), Element(3, {6}), Element(7, {1, 2}, 9)});
    const auto elements = SplitElements(bytes);
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements[0].id, 0);
    EXPECT_EQ(elements[1].id, 3);
    ASSERT_EQ(elements[1].body.size(), 1u);
    EXPECT_EQ(elements[1].body[0], 6);
}

struct SignalCase {
    const char* name;
    std::optional<std::int32_t> mbm;
    std::optional<std::uint8_t> unspec;
    std::int32_t dbm;
};

void PrintTo(const SignalCase& row, std::ostream* out)
{
    *out << row.name;
}

class BssSignal : public testing::TestWithParam<SignalCase> { };

TEST_P(BssSignal, ReportsDbm)
{
    Bytes bss = BssWith({}, false);
    if (GetParam().mbm)
        Put(bss, NL80211_BSS_SIGNAL_MBM, Value<std::int32_t>(*GetParam().mbm));
    if (GetParam().unspec)
        Put(bss, NL80211_BSS_SIGNAL_UNSPEC, Value<std::uint8_t>(*GetParam().unspec));
    const auto decoded = DecodeBss(bss);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->rssiDbm, GetParam().dbm);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BssSignal,
    testing::Values(SignalCase{"Mbm", -4200, {}, -42}, SignalCase{"MbmFractionDropped", -6099, {}, -60},
                    SignalCase{"UnspecFull", {}, 100, -50}, SignalCase{"UnspecHalf", {}, 50, -75},
                    SignalCase{"UnspecNone", {}, 0, -100}, SignalCase{"UnspecAboveRange", {}, 255, -50},
                    SignalCase{"MbmPreferred", -8000, 100, -80}, SignalCase{"NoSignal", {}, {}, 0}),
    [](const testing::TestParamInfo<SignalCase>& info) { return info.param.name; });

struct CapabilityCase {
    const char* name;
    std::optional<std::uint16_t> capability;
    bool privacy;
    std::uint32_t mode;
};

void PrintTo(const CapabilityCase& row, std::ostream* out)
{
    *out << row.name;
}

class BssCapability : public testing::TestWithParam<CapabilityCase> { };

TEST_P(BssCapability, GivesModeAndPrivacy)
{
    Bytes bss = BssWith({}, true, false);
    if (GetParam().capability)
        Put(bss, NL80211_BSS_CAPABILITY, Value<std::uint16_t>(*GetParam().capability));
    const auto decoded = DecodeBss(bss);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->privacy, GetParam().privacy);
    EXPECT_EQ(decoded->infrastructureMode, GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Cases, BssCapability,
                         testing::Values(CapabilityCase{"OpenAccessPoint", 0x0401, false, 1},
                                         CapabilityCase{"SecuredAccessPoint", 0x0011, true, 1},
                                         CapabilityCase{"AdHocPeer", 0x0002, false, 0},
                                         CapabilityCase{"SecuredAdHocPeer", 0x0012, true, 0},
                                         CapabilityCase{"NeitherBitMeshPoint", 0x0010, true, 2},
                                         CapabilityCase{"NoCapability", {}, false, 2}),
                         [](const testing::TestParamInfo<CapabilityCase>& info) { return info.param.name; });

struct LastSeenCase {
    const char* name;
    std::optional<std::uint64_t> boottime;
    std::optional<std::uint32_t> msAgo;
    std::uint64_t readAt;
    std::uint64_t lastSeen;
};

void PrintTo(const LastSeenCase& row, std::ostream* out)
{
    *out << row.name;
}

class BssLastSeen : public testing::TestWithParam<LastSeenCase> { };

TEST_P(BssLastSeen, GivesTheBootTimeTheBssWasHeard)
{
    Bytes bss = BssWith({});
    if (GetParam().boottime)
        Put(bss, NL80211_BSS_LAST_SEEN_BOOTTIME, Value<std::uint64_t>(*GetParam().boottime));
    if (GetParam().msAgo)
        Put(bss, NL80211_BSS_SEEN_MS_AGO, Value<std::uint32_t>(*GetParam().msAgo));
    const auto decoded = DecodeBss(bss, GetParam().readAt);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->lastSeenBoottimeNs, GetParam().lastSeen);
}

INSTANTIATE_TEST_SUITE_P(Cases, BssLastSeen,
                         testing::Values(LastSeenCase{"BootTime", 7000000000u, {}, 9000000000u, 7000000000u},
                                         LastSeenCase{"BootTimeWinsOverAge", 7000000000u, 500, 9000000000u,
                                                      7000000000u},
                                         LastSeenCase{"AgeFromTheReadTime", {}, 1500, 9000000000u, 7500000000u},
                                         LastSeenCase{"AgeWithoutReadTimeIsUnknown", {}, 1500, 0, 0},
                                         // An age longer than the machine has run is clamped, not wrapped.
                                         LastSeenCase{"AgeBeforeBoot", {}, 5000, 1000000000u, 1},
                                         LastSeenCase{"Neither", {}, {}, 9000000000u, 0}),
                         [](const testing::TestParamInfo<LastSeenCase>& info) { return info.param.name; });

struct DamageCase {
    const char* name;
    Bytes bss;
    bool kept;
};

void PrintTo(const DamageCase& row, std::ostream* out)
{
    *out << row.name;
}

class BssDamage : public testing::TestWithParam<DamageCase> { };

TEST_P(BssDamage, SkipsTheBssOnlyWhenItCannotBeTrusted)
{
    EXPECT_EQ(DecodeBss(GetParam().bss).has_value(), GetParam().kept);
}

Bytes WithoutBssid()
{
    Bytes bss;
    Put(bss, NL80211_BSS_FREQUENCY, Value<std::uint32_t>(2412));
    return bss;
}

Bytes ShortBssid()
{
    Bytes bss;
    Put(bss, NL80211_BSS_BSSID, {1, 2, 3, 4, 5});
    return bss;
}

Bytes Truncated(Bytes bytes, std::size_t drop)
{
    bytes.resize(bytes.size() - drop);
    return bytes;
}

Bytes ClaimsMoreThanItHas()
{
    Bytes bss = TypicalBss();
    const std::uint16_t length = 2000;
    std::memcpy(bss.data(), &length, 2);
    return bss;
}

Bytes HeaderShorterThanItself()
{
    Bytes bss = TypicalBss();
    const std::uint16_t length = 2;
    std::memcpy(bss.data(), &length, 2);
    return bss;
}

INSTANTIATE_TEST_SUITE_P(Cases, BssDamage,
                         testing::Values(DamageCase{"Typical", TypicalBss(), true},
                                         DamageCase{"NoBssid", WithoutBssid(), false},
                                         DamageCase{"BssidOfFiveBytes", ShortBssid(), false},
                                         DamageCase{"LastAttributeCutShort", Truncated(TypicalBss(), 3), false},
                                         DamageCase{"TwoStrayBytes", Join({TypicalBss(), Bytes{1, 2}}), false},
                                         DamageCase{"LengthPastTheEnd", ClaimsMoreThanItHas(), false},
                                         DamageCase{"LengthShorterThanHeader", HeaderShorterThanItself(), false},
                                         DamageCase{"FrequencyOfTwoBytes",
                                                    BssWith({{NL80211_BSS_FREQUENCY, Value<std::uint16_t>(2412)}}),
                                                    true},
                                         DamageCase{"Empty", Bytes{}, false}),
                         [](const testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

TEST(BssDecoder, FieldOfTheWrongSizeKeepsItsDefault)
{
    Bytes bss;
    Put(bss, NL80211_BSS_BSSID, {1, 2, 3, 4, 5, 6});
    Put(bss, NL80211_BSS_FREQUENCY, Value<std::uint16_t>(2412));
    Put(bss, NL80211_BSS_BEACON_INTERVAL, Value<std::uint32_t>(50));
    Put(bss, NL80211_BSS_SIGNAL_MBM, Value<std::int16_t>(-5000));
    const auto decoded = DecodeBss(bss);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->frequencyMhz, 0u);
    EXPECT_EQ(decoded->beaconPeriod, 100u);
    EXPECT_EQ(decoded->rssiDbm, 0);
}

TEST(BssDecoder, ScanResultMessageWithoutBssGivesNothing)
{
    Bytes message;
    Put(message, NL80211_ATTR_IFINDEX, Value<std::uint32_t>(3));
    EXPECT_FALSE(DecodeScanResult(message));
    EXPECT_FALSE(DecodeScanResult(Truncated(ScanResultMessage(TypicalBss()), 1)));
}

// Every prefix of a sound message, and messages with bytes flipped at random
// (fixed seed), decode without reading outside the buffer (the sanitizer build
// checks that) and never yield an SSID longer than 32 bytes.
TEST(BssDecoder, DamagedMessagesNeverReadOutOfBounds)
{
    const Bytes message = ScanResultMessage(TypicalBss());
    for (std::size_t length = 0; length <= message.size(); ++length) {
        // A copy of exactly this length, so any read past it is caught.
        const Bytes prefix(message.begin(), message.begin() + static_cast<std::ptrdiff_t>(length));
        const auto bss = DecodeScanResult(prefix);
        if (bss) {
            EXPECT_LE(bss->ssid.size(), 32u);
        }
    }
    EXPECT_TRUE(DecodeScanResult(message));

    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> position(0, message.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 5000; ++round) {
        Bytes damaged = message;
        for (int flips = 0; flips < 1 + round % 4; ++flips)
            damaged[position(random)] = static_cast<std::uint8_t>(byte(random));
        const auto bss = DecodeScanResult(damaged);
        if (bss) {
            EXPECT_LE(bss->ssid.size(), 32u);
        }
    }
}
