#include "platform/devices/Devices.h"
#include "platform/Text.h"
#include "platform/devices/Ndis.h"
#include "tests/support/FakeProvider.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

class DevicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        provider = std::make_shared<FakeProvider>();
        platform::SetWirelessProvider(provider);
    }
    void TearDown() override { platform::SetWirelessProvider(nullptr); }

    static HANDLE Open(const WCHAR* name)
    {
        return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    // A query buffer of the given size for an OID on an adapter, followed by
    // guard bytes that no request may touch.
    struct Query {
        std::vector<BYTE> bytes;
        DWORD size;
        Query(NDIS_OID oid, const WCHAR* adapter, DWORD size_) : bytes(size_ + 64, 0xAB), size(size_)
        {
            if (size_ >= kNdisuioDataOffset) {
                std::memcpy(bytes.data(), &oid, sizeof(oid));
                std::memcpy(bytes.data() + offsetof(NDISUIO_QUERY_OID, ptcDeviceName), &adapter, sizeof(adapter));
            }
        }
        bool GuardIntact() const
        {
            for (std::size_t i = size; i < bytes.size(); ++i) {
                if (bytes[i] != 0xAB)
                    return false;
            }
            return true;
        }
        // Writes 32-bit words into the data part.
        void SetData(std::initializer_list<ULONG> words)
        {
            std::size_t offset = kNdisuioDataOffset;
            for (const ULONG word : words) {
                std::memcpy(bytes.data() + offset, &word, sizeof(word));
                offset += sizeof(word);
            }
        }
        ULONG DataWord() const
        {
            ULONG value = 0;
            std::memcpy(&value, bytes.data() + kNdisuioDataOffset, sizeof(value));
            return value;
        }
    };

    BOOL Send(HANDLE device, DWORD code, Query& query, DWORD* returned = nullptr)
    {
        DWORD ignored = 0;
        const bool set = code == IOCTL_NDISUIO_SET_OID_VALUE;
        return DeviceIoControl(device, code, query.bytes.data(), query.size, set ? nullptr : query.bytes.data(),
                               set ? 0 : query.size, returned != nullptr ? returned : &ignored, nullptr);
    }

    std::shared_ptr<FakeProvider> provider;
};

TEST_F(DevicesTest, OpensOnlyTheTwoDeviceNames)
{
    struct Case {
        const WCHAR* name;
        bool opens;
    };
    const Case cases[] = {{u"UIO1:", true},  {u"NDS0:", true},   {u"uio1:", true}, {u"nds0:", true},  {u"UIO1", false},
                          {u"UIO2:", false}, {u"UIO1:x", false}, {u"", false},     {u"COM1:", false}, {nullptr, false}};
    for (const Case& c : cases) {
        SetLastError(ERROR_SUCCESS);
        HANDLE handle = Open(c.name);
        if (c.opens) {
            EXPECT_NE(handle, INVALID_HANDLE_VALUE);
            EXPECT_TRUE(CloseHandle(handle));
        } else {
            EXPECT_EQ(handle, INVALID_HANDLE_VALUE);
            EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
        }
    }
}

TEST_F(DevicesTest, NoProviderMeansNoDevice)
{
    platform::SetWirelessProvider(nullptr);
    EXPECT_EQ(Open(u"UIO1:"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_DEV_NOT_EXIST);
    EXPECT_EQ(Open(u"NDS0:"), INVALID_HANDLE_VALUE);
}

TEST_F(DevicesTest, ClosedOrForeignHandlesAreRefused)
{
    HANDLE handle = Open(u"UIO1:");
    ASSERT_TRUE(CloseHandle(handle));
    EXPECT_FALSE(CloseHandle(handle));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    int foreign = 0;
    Query query(OID_GEN_PHYSICAL_MEDIUM, u"wlan0", 24);
    for (HANDLE bad : {handle, static_cast<HANDLE>(&foreign), static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        EXPECT_FALSE(Send(bad, IOCTL_NDISUIO_QUERY_OID_VALUE, query));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
}

TEST_F(DevicesTest, LastErrorBelongsToEachThread)
{
    SetLastError(ERROR_BUSY);
    DWORD seen = 1;
    std::thread([&seen] {
        seen = GetLastError();
        SetLastError(ERROR_ACCESS_DENIED);
    }).join();
    EXPECT_EQ(seen, ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), ERROR_BUSY);
}

TEST_F(DevicesTest, PhysicalMediumTellsWirelessFromWired)
{
    provider->wireless = {{"wlan0", true}, {"eth0", false}};
    HANDLE uio = Open(u"UIO1:");
    struct Case {
        const WCHAR* adapter;
        BOOL ok;
        ULONG medium;
        DWORD error;
    };
    const Case cases[] = {{u"wlan0", TRUE, NdisPhysicalMediumWirelessLan, 0},
                          {u"eth0", TRUE, NdisPhysicalMediumUnspecified, 0},
                          {u"wlan9", FALSE, 0x77777777, ERROR_FILE_NOT_FOUND},
                          {u"", FALSE, 0x77777777, ERROR_FILE_NOT_FOUND}};
    for (const Case& c : cases) {
        Query query(OID_GEN_PHYSICAL_MEDIUM, c.adapter, 24);
        const ULONG marker = 0x77777777;
        std::memcpy(query.bytes.data() + kNdisuioDataOffset, &marker, sizeof(marker));
        DWORD returned = 0;
        EXPECT_EQ(Send(uio, IOCTL_NDISUIO_QUERY_OID_VALUE, query, &returned), c.ok);
        EXPECT_EQ(query.DataWord(), c.medium);
        if (c.ok)
            EXPECT_EQ(returned, kNdisuioDataOffset + sizeof(ULONG));
        else
            EXPECT_EQ(GetLastError(), c.error);
        EXPECT_TRUE(query.GuardIntact());
    }
    CloseHandle(uio);
}

TEST_F(DevicesTest, MalformedRequestsAreRefusedWithoutTouchingMemory)
{
    provider->wireless = {{"wlan0", true}};
    HANDLE uio = Open(u"UIO1:");
    HANDLE nds = Open(u"NDS0:");
    struct Case {
        const char* what;
        HANDLE device;
        DWORD code;
        NDIS_OID oid;
        const WCHAR* adapter;
        DWORD size;
        DWORD error;
    };
    const Case cases[] = {
        {"header cut short", uio, IOCTL_NDISUIO_QUERY_OID_VALUE, OID_GEN_PHYSICAL_MEDIUM, u"wlan0", 15,
         ERROR_INVALID_PARAMETER},
        {"no room for the medium", uio, IOCTL_NDISUIO_QUERY_OID_VALUE, OID_GEN_PHYSICAL_MEDIUM, u"wlan0", 19,
         ERROR_INSUFFICIENT_BUFFER},
        {"no room for the list count", uio, IOCTL_NDISUIO_QUERY_OID_VALUE, OID_802_11_BSSID_LIST, u"wlan0", 19,
         ERROR_INSUFFICIENT_BUFFER},
        {"no adapter name", uio, IOCTL_NDISUIO_QUERY_OID_VALUE, OID_GEN_PHYSICAL_MEDIUM, nullptr, 24,
         ERROR_INVALID_PARAMETER},
        {"unknown query", uio, IOCTL_NDISUIO_QUERY_OID_VALUE, 0x01010101, u"wlan0", 24, ERROR_NOT_SUPPORTED},
        {"scan is a set, not a query", uio, IOCTL_NDISUIO_QUERY_OID_VALUE, OID_802_11_BSSID_LIST_SCAN, u"wlan0", 24,
         ERROR_NOT_SUPPORTED},
        {"list is a query, not a set", uio, IOCTL_NDISUIO_SET_OID_VALUE, OID_802_11_BSSID_LIST, u"wlan0", 24,
         ERROR_NOT_SUPPORTED},
        {"OID request to NDS0:", nds, IOCTL_NDISUIO_QUERY_OID_VALUE, OID_GEN_PHYSICAL_MEDIUM, u"wlan0", 24,
         ERROR_NOT_SUPPORTED},
        {"names request to UIO1:", uio, IOCTL_NDIS_GET_ADAPTER_NAMES, 0, u"wlan0", 24, ERROR_NOT_SUPPORTED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Query query(c.oid, c.adapter, c.size);
        const std::vector<BYTE> before = query.bytes;
        EXPECT_FALSE(Send(c.device, c.code, query));
        EXPECT_EQ(GetLastError(), c.error);
        // Only the request's own header may be rewritten.
        EXPECT_TRUE(
            std::equal(before.begin() + kNdisuioDataOffset, before.end(), query.bytes.begin() + kNdisuioDataOffset) ||
            c.size < kNdisuioDataOffset);
        EXPECT_TRUE(query.GuardIntact());
    }
    std::vector<WCHAR> unterminated(400, u'a');
    Query query(OID_GEN_PHYSICAL_MEDIUM, unterminated.data(), 24);
    EXPECT_FALSE(Send(uio, IOCTL_NDISUIO_QUERY_OID_VALUE, query));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    CloseHandle(uio);
    CloseHandle(nds);
}

TEST_F(DevicesTest, ScanRequestReachesTheProviderAndItsErrorComesBack)
{
    HANDLE uio = Open(u"UIO1:");
    Query scan(OID_802_11_BSSID_LIST_SCAN, u"wlan0", 24);
    scan.SetData({0});  // no frequencies: every channel
    EXPECT_TRUE(Send(uio, IOCTL_NDISUIO_SET_OID_VALUE, scan));
    EXPECT_EQ(provider->triggered, std::vector<std::string>{"wlan0"});
    EXPECT_TRUE(provider->limitedTo.empty());

    for (DWORD error : {ERROR_ACCESS_DENIED, ERROR_BUSY, ERROR_NOT_SUPPORTED, ERROR_GEN_FAILURE}) {
        provider->error = error;
        EXPECT_FALSE(Send(uio, IOCTL_NDISUIO_SET_OID_VALUE, scan));
        EXPECT_EQ(GetLastError(), error);
        Query list(OID_802_11_BSSID_LIST, u"wlan0", 512);
        EXPECT_FALSE(Send(uio, IOCTL_NDISUIO_QUERY_OID_VALUE, list));
        EXPECT_EQ(GetLastError(), error);
    }
    CloseHandle(uio);
}

// The data of a scan request: a count, then that many frequencies in MHz. A
// request without data is a sweep of every channel; a count cut short, a
// count the data does not hold, too many frequencies, or one no scan can
// visit is refused before the provider is asked.
TEST_F(DevicesTest, ScanRequestNamesTheFrequenciesToVisit)
{
    struct Case {
        const char* what;
        DWORD dataSize;
        std::vector<ULONG> data;
        bool accepted;
        std::vector<std::uint32_t> limitedTo;  // empty: a sweep of every channel
    };
    // A count followed by that many frequencies.
    const auto countAndList = [](ULONG count, ULONG frequency) {
        std::vector<ULONG> words(count + 1, frequency);
        words[0] = count;
        return words;
    };
    const Case kCases[] = {
        {"no data", 0, {}, true, {}},
        {"a count cut to one byte", 1, {1}, false, {}},
        {"a count cut to three bytes", 3, {0}, false, {}},
        {"count 0", 4, {0}, true, {}},
        {"one", 8, {1, 2437}, true, {2437}},
        {"two, and more data than they need", 20, {2, 2412, 5955, 9, 9}, true, {2412, 5955}},
        {"lowest and highest", 12, {2, 2400, 7125}, true, {2400, 7125}},
        {"the most", 4 + 4 * kMaxScanFrequencies, countAndList(kMaxScanFrequencies, 5180), true,
         std::vector<std::uint32_t>(kMaxScanFrequencies, 5180)},
        {"one more than the most", 8 + 4 * kMaxScanFrequencies, countAndList(kMaxScanFrequencies + 1, 2412), false, {}},
        {"count beyond the data", 8, {2, 2412}, false, {}},
        {"a huge count", 8, {0xFFFFFFFF, 2412}, false, {}},
        {"below the bands", 8, {1, 2399}, false, {}},
        {"above the bands", 8, {1, 7126}, false, {}},
        {"a channel number, not a frequency", 8, {1, 6}, false, {}},
    };
    HANDLE uio = Open(u"UIO1:");
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        provider->triggered.clear();
        provider->limitedTo.clear();
        Query scan(OID_802_11_BSSID_LIST_SCAN, u"wlan0", static_cast<DWORD>(kNdisuioDataOffset + c.dataSize));
        std::size_t offset = kNdisuioDataOffset;
        for (const ULONG word : c.data) {
            std::memcpy(scan.bytes.data() + offset, &word, sizeof(word));
            offset += sizeof(word);
        }
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(c.accepted, Send(uio, IOCTL_NDISUIO_SET_OID_VALUE, scan) != FALSE);
        if (!c.accepted) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
            EXPECT_TRUE(provider->triggered.empty());
            continue;
        }
        EXPECT_EQ(provider->triggered, std::vector<std::string>{"wlan0"});
        if (c.limitedTo.empty())
            EXPECT_TRUE(provider->limitedTo.empty());
        else
            EXPECT_EQ(provider->limitedTo, std::vector<std::vector<std::uint32_t>>{c.limitedTo});
    }
    CloseHandle(uio);
}

// The count of ended scans, which tells a caller its scan is over: the
// provider's number, cut to 32 bits; its refusal comes back as the error.
TEST_F(DevicesTest, ScanCountComesFromTheProvider)
{
    HANDLE uio = Open(u"UIO1:");
    Query count(OID_TARVOLIN_SCANS_ENDED, u"wlan0", 24);
    EXPECT_FALSE(Send(uio, IOCTL_NDISUIO_QUERY_OID_VALUE, count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));

    provider->countError = ERROR_SUCCESS;
    provider->endedScans = 0x100000007ull;
    DWORD returned = 0;
    EXPECT_TRUE(Send(uio, IOCTL_NDISUIO_QUERY_OID_VALUE, count, &returned));
    EXPECT_EQ(count.DataWord(), 7u);
    EXPECT_EQ(returned, kNdisuioDataOffset + sizeof(ULONG));
    EXPECT_TRUE(count.GuardIntact());

    Query tooSmall(OID_TARVOLIN_SCANS_ENDED, u"wlan0", static_cast<DWORD>(kNdisuioDataOffset + 2));
    EXPECT_FALSE(Send(uio, IOCTL_NDISUIO_QUERY_OID_VALUE, tooSmall));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_TRUE(tooSmall.GuardIntact());
    CloseHandle(uio);
}

TEST_F(DevicesTest, AHandleKeepsTheProviderItWasOpenedWith)
{
    provider->wireless = {{"wlan0", true}};
    HANDLE uio = Open(u"UIO1:");
    platform::SetWirelessProvider(nullptr);
    Query query(OID_GEN_PHYSICAL_MEDIUM, u"wlan0", 24);
    EXPECT_TRUE(Send(uio, IOCTL_NDISUIO_QUERY_OID_VALUE, query));
    EXPECT_EQ(query.DataWord(), NdisPhysicalMediumWirelessLan);
    CloseHandle(uio);
}

TEST_F(DevicesTest, BssidListQueryStaysInsideEveryBufferSize)
{
    for (int i = 0; i < 100; ++i) {
        platform::WirelessBss bss;
        bss.bssid[5] = static_cast<std::uint8_t>(i);
        bss.rssiDbm = -30 - i;
        bss.frequencyMhz = 2412;
        provider->networks.push_back(bss);
    }
    HANDLE uio = Open(u"UIO1:");
    for (DWORD size = kNdisuioDataOffset; size <= 400; ++size) {
        Query query(OID_802_11_BSSID_LIST, u"wlan0", size);
        DWORD returned = 0;
        const bool roomForCount = size >= kNdisuioDataOffset + sizeof(ULONG);
        ASSERT_EQ(Send(uio, IOCTL_NDISUIO_QUERY_OID_VALUE, query, &returned) != FALSE, roomForCount) << size;
        ASSERT_TRUE(query.GuardIntact()) << size;
        if (!roomForCount)
            continue;
        // Open, nameless: the fixed part, the beacon's fields and an empty SSID element.
        constexpr std::size_t kRecord = kBssidExFixedSize + sizeof(NDIS_802_11_FIXED_IEs) + 4;
        const ULONG fit = (size - kNdisuioDataOffset - sizeof(ULONG)) / kRecord;
        EXPECT_EQ(query.DataWord(), fit) << size;
        EXPECT_EQ(returned, kNdisuioDataOffset + sizeof(ULONG) + fit * kRecord) << size;
    }
    CloseHandle(uio);
}

TEST_F(DevicesTest, AdapterNamesAreTerminatedAndNeverPassTheReplyBuffer)
{
    provider->interfaces = {"lo", "eth0", "wlan0"};
    HANDLE nds = Open(u"NDS0:");
    struct Case {
        DWORD size;
        BOOL ok;
        std::u16string reply;  // the bytes written, terminators included
    };
    using namespace std::string_literals;
    const Case cases[] = {
        {0, FALSE, u""s},
        {1, FALSE, u""s},
        {2, TRUE, u"\0"s},
        {7, TRUE, u"\0"s},  // "lo" needs 6 bytes plus the final 2
        {8, TRUE, u"lo\0\0"s},
        {17, TRUE, u"lo\0\0"s},  // "eth0" does not fit, "wlan0" neither
        {18, TRUE, u"lo\0eth0\0\0"s},
        {20, TRUE, u"lo\0eth0\0\0"s},
        {30, TRUE, u"lo\0eth0\0wlan0\0\0"s},
        {2048, TRUE, u"lo\0eth0\0wlan0\0\0"s},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> out(c.size + 16, 0xAB);
        DWORD returned = 99;
        EXPECT_EQ(
            DeviceIoControl(nds, IOCTL_NDIS_GET_ADAPTER_NAMES, nullptr, 0, out.data(), c.size, &returned, nullptr),
            c.ok)
            << c.size;
        if (!c.ok) {
            EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
            continue;
        }
        const std::size_t bytes = c.reply.size() * sizeof(WCHAR);
        EXPECT_EQ(returned, bytes) << c.size;
        EXPECT_EQ(std::memcmp(out.data(), c.reply.data(), bytes), 0) << c.size;
        for (std::size_t i = bytes; i < out.size(); ++i)
            ASSERT_EQ(out[i], 0xAB) << c.size;
    }
    // A name that does not fit is left out while later, shorter ones still come.
    provider->interfaces = {"averyveryverylongname", "lo"};
    std::vector<BYTE> out(16, 0xAB);
    DWORD returned = 0;
    ASSERT_TRUE(DeviceIoControl(nds, IOCTL_NDIS_GET_ADAPTER_NAMES, nullptr, 0, out.data(), 10, &returned, nullptr));
    EXPECT_EQ(std::memcmp(out.data(), u"lo\0", 8), 0);
    CloseHandle(nds);
}

TEST_F(DevicesTest, WirelessAdaptersComeFirstSoAFullReplyStillHoldsThem)
{
    // Many container interfaces before the one wireless adapter: they alone
    // would fill the 2048-byte reply.
    for (int i = 0; i < 150; ++i) {
        const std::string name = "veth" + std::to_string(1000000 + i);
        provider->interfaces.push_back(name);
        provider->wireless[name] = false;
    }
    provider->interfaces.insert(provider->interfaces.begin() + 1, "wlan1");
    provider->interfaces.push_back("wlan0");
    provider->wireless["wlan0"] = true;
    provider->wireless["wlan1"] = true;
    HANDLE nds = Open(u"NDS0:");
    std::vector<BYTE> out(2048, 0xAB);
    DWORD returned = 0;
    ASSERT_TRUE(DeviceIoControl(nds, IOCTL_NDIS_GET_ADAPTER_NAMES, nullptr, 0, out.data(), 2048, &returned, nullptr));
    using namespace std::string_literals;
    const std::u16string start = u"wlan1\0wlan0\0veth1000000\0"s;
    EXPECT_EQ(std::memcmp(out.data(), start.data(), start.size() * sizeof(WCHAR)), 0);
    EXPECT_LE(returned, 2048u);
    CloseHandle(nds);
}

// The program joins the names with commas and splits them again, in UTF-16:
// only names that survive that are offered, so the program never picks an
// interface that does not exist. Wireless interfaces that cannot scan as a
// station are no adapters either.
TEST_F(DevicesTest, AdapterNamesOfferOnlyInterfacesTheProgramCanScanByThatName)
{
    struct Interface {
        std::string name;
        bool wireless;
        bool canScan;
        bool offered;
    };
    const Interface table[] = {
        {"mon0", true, false, false},    // a monitor sorts first, yet is no adapter
        {"wifi,5g", true, true, false},  // would come back as "wifi" and "5g"
        {",", true, true, false},
        {"ab\xFF\xFE", true, true, false},  // not UTF-8: would come back as another name
        {"ap0", true, false, false},        // an access point only
        {"wlan0", true, true, true},
        {"caf\xC3\xA9", true, true, true},  // UTF-8 is fine
        {"eth,0", false, false, false},
        {"eth0", false, false, true},
        {std::string("wl\0an", 5), true, true, false},
    };
    for (const Interface& i : table) {
        provider->interfaces.push_back(i.name);
        provider->wireless[i.name] = i.wireless;
        provider->canScan[i.name] = i.canScan;
    }
    HANDLE nds = Open(u"NDS0:");
    std::vector<BYTE> out(2048, 0xAB);
    DWORD returned = 0;
    ASSERT_TRUE(DeviceIoControl(nds, IOCTL_NDIS_GET_ADAPTER_NAMES, nullptr, 0, out.data(), 2048, &returned, nullptr));
    CloseHandle(nds);
    using namespace std::string_literals;
    const std::u16string expected = u"wlan0\0caf\u00E9\0eth0\0\0"s;
    ASSERT_EQ(returned, expected.size() * sizeof(WCHAR));
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(out.data()), expected.size()), expected);
}

// A name the list leaves out is still reached by its own bytes.
TEST_F(DevicesTest, RequestsNameAnInterfaceByItsExactBytes)
{
    const std::string name = "wifi,\xFF";
    provider->wireless[name] = true;
    HANDLE uio = Open(u"UIO1:");
    const std::u16string wide = platform::BytesToUtf16(name);
    Query query(OID_GEN_PHYSICAL_MEDIUM, wide.c_str(), 24);
    EXPECT_TRUE(Send(uio, IOCTL_NDISUIO_QUERY_OID_VALUE, query));
    EXPECT_EQ(query.DataWord(), static_cast<ULONG>(NdisPhysicalMediumWirelessLan));
    CloseHandle(uio);
}

}  // namespace
