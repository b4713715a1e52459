// How the engine turns the driver's NDIS records into ScanEntry records.
#include "platform/devices/Ndis.h"
#include "scan/WifiTarv.h"
#include "tests/support/FakeProvider.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(WifiTarvConversion, RssiInTheUpperHalfIsRecovered)
{
    struct Case {
        std::uint32_t field;
        LONG rssi;
    };
    const Case cases[] = {
        {0xFFFFFFC4, -60},
        {0xFFC40000, -60},
        {0xFFFFFF00, -256},
        {0, 0},
        {0xFF800000, -128},
        {0xFFC40001, static_cast<LONG>(0xFFC40001)},
        {0xFEC40000, static_cast<LONG>(0xFEC40000)},
        {0x00000040, 64},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CWifiTarv::RssiFromField(static_cast<LONG>(c.field)), c.rssi) << std::hex << c.field;
}

TEST(WifiTarvConversion, ChannelFollowsEightOTwoElevenNumbering)
{
    struct Case {
        ULONG dsConfig;
        ULONG channel;
    };
    const Case cases[] = {
        {0, 0},         {6, 6},          {14, 14},      {15, 0},        {2407000, 0},   {2412000, 1},   {2437000, 6},
        {2472000, 13},  {2484000, 14},   {2500000, 0},  {4920000, 184}, {4940000, 188}, {5000000, 0},   {5180000, 36},
        {5825000, 165}, {5920000, 184},  {5925000, 0},  {5955000, 1},   {6115000, 33},  {7115000, 233}, {7120000, 0},
        {2412999, 1},   {0xFFFFFFFF, 0}, {900000, 0},   {5935000, 2},   {5930000, 0},   {5940000, 0},   {58320000, 1},
        {60480000, 2},  {69120000, 6},   {58000000, 0}, {71000000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CWifiTarv::ChannelFromDSConfig(c.dsConfig), c.channel) << c.dsConfig;
}

NDIS_WLAN_BSSID RecordWithSsid(const std::string& bytes, ULONG length)
{
    NDIS_WLAN_BSSID record{};
    record.Length = sizeof(record);
    std::memcpy(record.Ssid.Ssid, bytes.data(), std::min<std::size_t>(bytes.size(), 32));
    record.Ssid.SsidLength = length;
    return record;
}

TEST(WifiTarvConversion, SsidBytesConvertAsUtf8)
{
    struct Case {
        const char* what;
        std::string bytes;
        ULONG length;
        std::u16string ssid;
    };
    using namespace std::string_literals;
    const std::string full32 = "0123456789abcdef0123456789ABCDEF";
    const Case cases[] = {
        {"plain", "Home", 4, u"Home"},
        {"length cuts the name", "HomeNet", 4, u"Home"},
        {"hidden: length 0 and zeros", std::string(32, '\0'), 0, u""},
        {"length 0 with bytes reads them all", "Hidden", 0, u"Hidden"},
        {"accented", "Caf\xc3\xa9", 5, u"Café"},
        {"cyrillic", "\xd0\x9a\xd0\xb0\xd1\x84\xd0\xb5", 8, u"Кафе"},
        {"outside the BMP", "a\xf0\x9f\xa6\xb7", 5, u"a\U0001F9B7"},
        {"invalid byte", "Net\xffwork", 8, u"Net\uFFFDwork"},
        {"cut inside a sequence", "Caf\xc3\xa9", 4, u"Caf\uFFFD"},
        {"embedded zero stops it", "ab\0cd"s, 5, u"ab"},
        {"length above 32 reads 32", full32, 200, u"0123456789abcdef0123456789ABCDEF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScanEntry entry;
        std::memset(&entry, 0x5A, sizeof(entry));
        CWifiTarv::ConvertBssid(RecordWithSsid(c.bytes, c.length), entry);
        std::size_t n = 0;
        while (n < 32 && entry.ssid[n] != 0)
            ++n;
        EXPECT_EQ(std::u16string(entry.ssid, n), c.ssid);
        for (std::size_t i = n; i < 32; ++i)
            EXPECT_EQ(entry.ssid[i], 0) << i;
    }
}

TEST(WifiTarvConversion, ThirtyTwoByteNameFillsTheFieldWithoutTerminator)
{
    const std::string full32 = "TheQuickBrownFoxJumpsOverTheLazy";
    ScanEntry entry;
    CWifiTarv::ConvertBssid(RecordWithSsid(full32, 32), entry);
    EXPECT_EQ(std::u16string(entry.ssid, 32), u"TheQuickBrownFoxJumpsOverTheLazy");
}

TEST(WifiTarvConversion, OtherFieldsAreCopied)
{
    NDIS_WLAN_BSSID record = RecordWithSsid("x", 1);
    const UCHAR mac[6] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0xfe};
    std::memcpy(record.MacAddress, mac, 6);
    record.Privacy = 7;
    record.InfrastructureMode = 2;
    record.Rssi = -71;
    record.Configuration.DSConfig = 5500000;
    ScanEntry entry;
    CWifiTarv::ConvertBssid(record, entry);
    EXPECT_EQ(std::memcmp(entry.mac, mac, 6), 0);
    EXPECT_EQ(entry.privacy, 7u);
    EXPECT_EQ(entry.infrastructureMode, 2u);
    EXPECT_EQ(entry.rssi, -71);
    EXPECT_EQ(entry.channel, 100u);
}

// Builds the data part of a BSSID list reply byte by byte.
class ListBuilder {
public:
    explicit ListBuilder(ULONG items) { Put(items); }
    // A record claiming length bytes; it takes up that many in the list, or
    // just its fixed part when the length is shorter or is a lie (lie set).
    ListBuilder& Record(ULONG length, UCHAR lastMacByte, bool lie = false)
    {
        NDIS_WLAN_BSSID record{};
        record.Length = length;
        record.MacAddress[5] = lastMacByte;
        record.Ssid.SsidLength = 1;
        record.Ssid.Ssid[0] = 'a';
        const std::size_t at = bytes.size();
        const std::size_t taken = lie || length < sizeof(record) ? sizeof(record) : length;
        bytes.resize(at + taken);
        std::memcpy(bytes.data() + at, &record, sizeof(record));
        return *this;
    }
    std::vector<BYTE> bytes;

private:
    void Put(ULONG value)
    {
        bytes.resize(bytes.size() + sizeof(value));
        std::memcpy(bytes.data() + bytes.size() - sizeof(value), &value, sizeof(value));
    }
};

TEST(WifiTarvConversion, ListWalkStopsAtCountCapacityOrABadRecord)
{
    constexpr ULONG kFixed = sizeof(NDIS_WLAN_BSSID);
    struct Case {
        const char* what;
        std::vector<BYTE> list;
        std::size_t size;  // bytes the walk may use; 0 means the whole list
        DWORD capacity;
        DWORD count;
    };
    const Case cases[] = {
        {"no items", ListBuilder(0).Record(kFixed, 1).bytes, 0, 128, 0},
        {"three items", ListBuilder(3).Record(kFixed, 1).Record(kFixed, 2).Record(kFixed, 3).bytes, 0, 128, 3},
        {"count below records", ListBuilder(2).Record(kFixed, 1).Record(kFixed, 2).Record(kFixed, 3).bytes, 0, 128, 2},
        {"capacity below count", ListBuilder(3).Record(kFixed, 1).Record(kFixed, 2).Record(kFixed, 3).bytes, 0, 2, 2},
        {"zero capacity", ListBuilder(3).Record(kFixed, 1).bytes, 0, 0, 0},
        {"count claims more than there is", ListBuilder(1000).Record(kFixed, 1).Record(kFixed, 2).bytes, 0, 128, 2},
        {"longer records with elements", ListBuilder(2).Record(kFixed + 40, 1).Record(kFixed + 3, 2).bytes, 0, 128, 2},
        {"length shorter than a record", ListBuilder(2).Record(kFixed, 1).Record(kFixed - 1, 2).bytes, 0, 128, 1},
        {"length zero", ListBuilder(2).Record(0, 1).bytes, 0, 128, 0},
        {"length past the end", ListBuilder(2).Record(kFixed, 1).Record(kFixed + 1, 2, true).bytes, 0, 128, 1},
        {"length huge", ListBuilder(1).Record(0xFFFFFFFF, 1, true).bytes, 0, 128, 0},
        {"record cut by the end", ListBuilder(1).Record(kFixed, 1).bytes, 4 + kFixed - 1, 128, 0},
        {"no room for the count", ListBuilder(1).Record(kFixed, 1).bytes, 3, 128, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t size = c.size != 0 ? c.size : c.list.size();
        // The list sits in its own allocation so that ASan sees any read past it.
        std::vector<BYTE> list(c.list.begin(), c.list.begin() + std::min(size, c.list.size()));
        std::vector<ScanEntry> entries(c.capacity + 1);
        std::memset(entries.data(), 0x5A, entries.size() * sizeof(ScanEntry));
        const DWORD count = CWifiTarv::ConvertBssidList(list.data(), list.size(), entries.data(), c.capacity);
        EXPECT_EQ(count, c.count);
        for (DWORD i = 0; i < count; ++i)
            EXPECT_EQ(entries[i].mac[5], i + 1);
        EXPECT_EQ(entries[c.capacity].mac[0], 0x5A);  // one past capacity is untouched
    }
}

TEST(WifiTarvConversion, FullReplyHoldsAHundredRecordsWithTheirElements)
{
    constexpr ULONG kWithElements = kBssidExFixedSize + sizeof(NDIS_802_11_FIXED_IEs) + 300;
    ListBuilder builder(100);
    for (int i = 0; i < 100; ++i)
        builder.Record(kWithElements, static_cast<UCHAR>(i + 1));
    ASSERT_LE(builder.bytes.size(), CWifiTarv::kBssidListBufferSize - kNdisuioDataOffset);
    std::vector<ScanEntry> entries(128);
    EXPECT_EQ(CWifiTarv::ConvertBssidList(builder.bytes.data(), builder.bytes.size(), entries.data(), 128), 100u);
}

// One extended record with privacy set, 5180 MHz, and the given IELength,
// elements and Length. The record's bytes past the elements, up to Length,
// hold an RSN element offering SAE: a reader that strays past IELength
// would report WPA3.
std::vector<BYTE> ExtendedRecord(ULONG ieLength, const std::vector<BYTE>& elements, ULONG length)
{
    static const std::vector<BYTE> kSae = {48,   20,   1, 0, 0, 0x0F, 0xAC, 4,    1, 0, 0,
                                           0x0F, 0xAC, 4, 1, 0, 0,    0x0F, 0xAC, 8, 0, 0};
    std::vector<BYTE> list(sizeof(ULONG) + std::max<std::size_t>(length, kBssidExFixedSize) + 64);
    const ULONG items = 1;
    std::memcpy(list.data(), &items, sizeof(items));
    NDIS_WLAN_BSSID_EX record{};
    record.Length = length;
    record.MacAddress[5] = 1;
    record.Privacy = 1;
    record.Configuration.DSConfig = 5180000;
    record.IELength = ieLength;
    std::memcpy(list.data() + sizeof(ULONG), &record, kBssidExFixedSize);
    BYTE* const ies = list.data() + sizeof(ULONG) + kBssidExFixedSize + sizeof(NDIS_802_11_FIXED_IEs);
    std::copy(elements.begin(), elements.end(), ies);
    std::copy(kSae.begin(), kSae.end(), ies + elements.size());
    list.resize(sizeof(ULONG) + length);
    return list;
}

TEST(WifiTarvConversion, ElementBlockGivesTheDetailsOrTheFixedPartDoes)
{
    const std::vector<BYTE> wpa2Wide = {48, 20, 1,    0,    0, 0x0F, 0xAC, 4,   1, 0, 0,  0x0F, 0xAC, 1, 1,
                                        0,  0,  0x0F, 0xAC, 1, 0,    0,    192, 5, 1, 42, 50,   0,    0};
    const ULONG fixedIes = sizeof(NDIS_802_11_FIXED_IEs);
    const ULONG wideIes = fixedIes + static_cast<ULONG>(wpa2Wide.size());
    const ULONG room = kBssidExFixedSize + wideIes + 22;
    struct Case {
        const char* what;
        ULONG ieLength;
        std::vector<BYTE> elements;
        ULONG length;
        BYTE security;
        BYTE enterprise;
        ULONG width;
    };
    const Case cases[] = {
        {"no elements", fixedIes, {}, kBssidExFixedSize + fixedIes, SECURITY_WEP, 0, 20},
        {"enterprise WPA2 at 160 MHz", wideIes, wpa2Wide, room, SECURITY_WPA2, 1, 160},
        {"IELength runs past the record", static_cast<ULONG>(room - kBssidExFixedSize + 1), wpa2Wide, room,
         SECURITY_WEP, 0, 20},
        {"IELength huge", 0xFFFFFFFF, wpa2Wide, room, SECURITY_WEP, 0, 20},
        {"IELength shorter than the beacon's fields", fixedIes - 1, {}, room, SECURITY_WEP, 0, 20},
        {"element runs past IELength",
         fixedIes + 10,
         {48, 20, 1, 0, 0, 0x0F, 0xAC, 4, 1, 0},
         room,
         SECURITY_WEP,
         0,
         20},
        {"record without room for IELength", fixedIes, {}, sizeof(NDIS_WLAN_BSSID), SECURITY_WEP, 0, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Its own allocation, cut at the record's end, so that ASan sees any stray read.
        const std::vector<BYTE> list = ExtendedRecord(c.ieLength, c.elements, c.length);
        ScanEntry entry{};
        ASSERT_EQ(CWifiTarv::ConvertBssidList(list.data(), list.size(), &entry, 1), 1u);
        EXPECT_EQ(entry.security, c.security);
        EXPECT_EQ(entry.enterprise, c.enterprise);
        EXPECT_EQ(entry.width, c.width);
        EXPECT_EQ(entry.frequency, 5180u);
        EXPECT_EQ(entry.privacy, 1u);
        EXPECT_EQ(entry.channel, 36u);
    }
}

// What a provider says about a network reaches the scan entry through the
// device's answer: the platform writes the details as elements into the
// "UIO1:" reply, and the engine reads them back.
TEST(WifiTarvConversion, DetailsTravelThroughTheAnswer)
{
    using platform::Security;
    struct Case {
        Security security;
        bool enterprise;
        bool transition;
        std::uint16_t width;
        std::uint32_t mhz;
        BYTE expected;
    };
    const Case cases[] = {
        {Security::Open, false, false, 20, 2412, SECURITY_OPEN},
        {Security::Wep, false, false, 20, 2437, SECURITY_WEP},
        {Security::Wpa, false, false, 20, 2462, SECURITY_WPA},
        {Security::Wpa, true, false, 40, 2437, SECURITY_WPA},
        {Security::Owe, false, false, 80, 5180, SECURITY_OWE},
        {Security::Wpa2, false, true, 40, 5200, SECURITY_WPA2},
        {Security::Wpa2, true, false, 160, 5500, SECURITY_WPA2},
        {Security::Wpa3, false, true, 80, 5745, SECURITY_WPA3},
        {Security::Wpa3, true, false, 320, 6115, SECURITY_WPA3},
        {Security::Wpa3, false, false, 160, 5955, SECURITY_WPA3},
    };
    std::vector<platform::WirelessBss> networks;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        platform::WirelessBss bss;
        bss.bssid[5] = static_cast<std::uint8_t>(i);
        bss.ssid = {'n'};
        bss.rssiDbm = -30 - static_cast<int>(i);
        bss.frequencyMhz = cases[i].mhz;
        bss.privacy = cases[i].security != Security::Open;
        bss.details.security = cases[i].security;
        bss.details.enterprise = cases[i].enterprise;
        bss.details.transition = cases[i].transition;
        bss.details.widthMhz = cases[i].width;
        networks.push_back(bss);
    }
    auto radio = std::make_shared<FakeProvider>();
    radio->interfaces = {"wlan0"};
    radio->wireless = {{"wlan0", true}};
    radio->networks = networks;
    platform::SetWirelessProvider(radio);
    std::vector<ScanEntry> entries(std::size(cases));
    DWORD count = 0;
    const bool read = CWifiTarv().GetBSSIDs(u"wlan0", entries.data(), static_cast<DWORD>(entries.size()), &count);
    platform::SetWirelessProvider(nullptr);
    ASSERT_TRUE(read);
    ASSERT_EQ(count, std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].security, cases[i].expected);
        EXPECT_EQ(entries[i].enterprise, cases[i].enterprise ? 1 : 0);
        EXPECT_EQ(entries[i].width, cases[i].width);
        EXPECT_EQ(entries[i].frequency, cases[i].mhz);
    }
}

TEST(WifiTarvConversion, RandomRepliesStayInsideTheirBuffers)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 2000; ++round) {
        const std::size_t size = random() % 1200;
        std::vector<BYTE> list(size);
        for (BYTE& b : list)
            b = static_cast<BYTE>(random());
        // Plausible counts and lengths now and then, to reach deeper records.
        if (size >= 8 && round % 2 == 0) {
            const ULONG items = random() % 12;
            std::memcpy(list.data(), &items, sizeof(items));
            const ULONG length = sizeof(NDIS_WLAN_BSSID) + random() % 16;
            std::memcpy(list.data() + 4, &length, sizeof(length));
        }
        const DWORD capacity = random() % 10;
        std::vector<ScanEntry> entries(capacity);
        const DWORD count = CWifiTarv::ConvertBssidList(list.data(), list.size(), entries.data(), capacity);
        ASSERT_LE(count, capacity);
        ASSERT_LE(count * sizeof(NDIS_WLAN_BSSID), size);
    }
}

}  // namespace
