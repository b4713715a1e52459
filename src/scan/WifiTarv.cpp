#include "scan/WifiTarv.h"

#include "platform/devices/BssDetails.h"

#include "platform/Text.h"
#include "platform/devices/Devices.h"
#include "platform/devices/Ndis.h"

#include <atomic>
#include <cstring>
#include <span>
#include <vector>

static_assert(SECURITY_OPEN == static_cast<BYTE>(platform::Security::Open) &&
              SECURITY_WEP == static_cast<BYTE>(platform::Security::Wep) &&
              SECURITY_WPA == static_cast<BYTE>(platform::Security::Wpa) &&
              SECURITY_OWE == static_cast<BYTE>(platform::Security::Owe) &&
              SECURITY_WPA2 == static_cast<BYTE>(platform::Security::Wpa2) &&
              SECURITY_WPA3 == static_cast<BYTE>(platform::Security::Wpa3));

namespace {

std::atomic<CWifiTarv::TraceSink> g_traceSink{nullptr};

// Adapters that are never wireless LAN adapters (dial-up, infrared, tunnels,
// USB networking, mobile broadband), compared ignoring case in this order.
constexpr const char16_t* kSkippedAdapters[] = {u"ASYNCMAC1", u"IRSIR1", u"L2TP1",     u"PPTP1",
                                                u"RNDISFN1",  u"WWAN1",  u"XSC1_IRDA1"};

WCHAR UpperAscii(WCHAR c)
{
    return c >= u'a' && c <= u'z' ? static_cast<WCHAR>(c - u'a' + u'A') : c;
}

// Whole-name comparison ignoring the case of ASCII letters.
bool EqualIgnoringCase(const WCHAR* name, std::size_t length, const char16_t* upperName)
{
    std::size_t i = 0;
    for (; i < length && upperName[i] != 0; ++i) {
        if (UpperAscii(name[i]) != upperName[i])
            return false;
    }
    return i == length && upperName[i] == 0;
}

bool IsSkippedAdapter(const WCHAR* name, std::size_t length)
{
    for (const char16_t* skipped : kSkippedAdapters) {
        if (EqualIgnoringCase(name, length, skipped))
            return true;
    }
    return false;
}

// Puts the OID and the adapter name pointer in front of a request's data.
void WriteOidHeader(BYTE* buffer, ULONG oid, const WCHAR* adapter)
{
    std::memcpy(buffer + offsetof(NDISUIO_QUERY_OID, Oid), &oid, sizeof(oid));
    std::memcpy(buffer + offsetof(NDISUIO_QUERY_OID, ptcDeviceName), &adapter, sizeof(adapter));
}

}  // namespace

CWifiTarv::CWifiTarv()
{
    InitializeCriticalSection(&m_lock);
    OpenDriver();  // a failed open shows later as failing requests
}

CWifiTarv::~CWifiTarv()
{
    if (m_driver != nullptr)
        CloseDriver();
    DeleteCriticalSection(&m_lock);
}

void CWifiTarv::SetTraceSink(TraceSink sink)
{
    g_traceSink.store(sink);
}

void CWifiTarv::Trace(const char* format, ...)
{
    const TraceSink sink = g_traceSink.load();
    if (sink == nullptr)
        return;
    const DWORD lastError = GetLastError();  // a sink must not disturb the caller's error code
    va_list arguments;
    va_start(arguments, format);
    sink(format, arguments);
    va_end(arguments);
    SetLastError(lastError);
}

bool CWifiTarv::OpenDriver()
{
    if (m_driver != nullptr) {
        Trace("%s: driver already opened!", "CWifiTarv::OpenDriver");
        return true;
    }
    HANDLE driver = CreateFileW(u"UIO1:", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (driver == INVALID_HANDLE_VALUE || driver == nullptr) {
        Trace("%s: failed to open NDISUIO driver. Err: %d", "CWifiTarv::OpenDriver", static_cast<int>(GetLastError()));
        m_driver = nullptr;
        return false;
    }
    m_driver = driver;
    Trace("%s: opened NDISUIO driver ok.", "CWifiTarv::OpenDriver");
    return true;
}

void CWifiTarv::CloseDriver()
{
    CloseHandle(m_driver);
    m_driver = nullptr;
    Trace("%s: closing driver.", "CWifiTarv::CloseDriver");
}

bool CWifiTarv::SendOid(DWORD code, ULONG oid, const WCHAR* adapter, BYTE* buffer, std::size_t size)
{
    WriteOidHeader(buffer, oid, adapter);
    DWORD returned = 0;
    const bool query = code == IOCTL_NDISUIO_QUERY_OID_VALUE;
    return DeviceIoControl(m_driver, code, buffer, static_cast<DWORD>(size), query ? buffer : nullptr,
                           query ? static_cast<DWORD>(size) : 0, &returned, nullptr) != FALSE;
}

bool CWifiTarv::IsWireless(const WCHAR* adapter)
{
    NDISUIO_QUERY_OID query{};
    BYTE* buffer = reinterpret_cast<BYTE*>(&query);
    if (!SendOid(IOCTL_NDISUIO_QUERY_OID_VALUE, OID_GEN_PHYSICAL_MEDIUM, adapter, buffer, sizeof(query))) {
        Trace("%s: cannot query adapter %S phys medium. Err: %d", "CWifiTarv::IsWireless", adapter,
              static_cast<int>(GetLastError()));
        return false;
    }
    ULONG medium = 0;
    std::memcpy(&medium, query.Data, sizeof(medium));
    if (medium == NdisPhysicalMediumWirelessLan) {
        Trace("%s: adapter %S is wireless.", "CWifiTarv::IsWireless", adapter);
        return true;
    }
    Trace("%s: adapter %S is not wireless.", "CWifiTarv::IsWireless", adapter);
    return false;
}

bool CWifiTarv::GetAdapters(WCHAR* buffer, DWORD* length)
{
    if (buffer == nullptr || length == nullptr || *length < sizeof(WCHAR)) {
        if (length != nullptr)
            *length = 0;
        return false;
    }
    EnterCriticalSection(&m_lock);
    HANDLE names = CreateFileW(u"NDS0:", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (names == INVALID_HANDLE_VALUE) {
        LeaveCriticalSection(&m_lock);
        return false;
    }
    constexpr std::size_t kChars = kAdapterNamesBufferSize / sizeof(WCHAR);
    WCHAR reply[kChars] = {};
    DWORD returned = 0;
    if (!DeviceIoControl(names, IOCTL_NDIS_GET_ADAPTER_NAMES, nullptr, 0, reply, kAdapterNamesBufferSize, &returned,
                         nullptr)) {
        CloseHandle(names);
        LeaveCriticalSection(&m_lock);
        return false;
    }

    WCHAR result[kChars] = {};
    std::size_t resultChars = 0;
    DWORD resultBytes = 0;
    std::size_t position = 0;
    while (position < kChars && reply[position] != 0) {
        const WCHAR* name = reply + position;
        std::size_t nameChars = 0;
        while (position + nameChars < kChars && name[nameChars] != 0)
            ++nameChars;
        if (position + nameChars == kChars)
            break;  // a name cut off by the end of the reply is not a name
        position += nameChars + 1;

        Trace("%s: found adapter %S...", "CWifiTarv::GetAdapters", name);
        if (IsSkippedAdapter(name, nameChars) || !IsWireless(name))
            continue;
        // Each name gave up its terminator in the reply, so the commas and
        // names always fit in a result as large as the reply.
        if (resultChars > 0) {
            result[resultChars++] = u',';
            resultBytes += sizeof(WCHAR);
        }
        std::memcpy(result + resultChars, name, nameChars * sizeof(WCHAR));
        resultChars += nameChars;
        resultBytes += static_cast<DWORD>(nameChars * sizeof(WCHAR));
        Trace("%s: adapter ok: %S...", "CWifiTarv::GetAdapters", name);
    }

    bool ok = true;
    if (resultBytes + sizeof(WCHAR) > *length) {
        // The caller's buffer is too small for the names and their
        // terminator: report the length needed and leave the buffer alone.
        ok = false;
    } else if (resultBytes != 0) {
        std::memcpy(buffer, result, resultBytes);
        buffer[resultChars] = 0;
    }
    *length = resultBytes;
    CloseHandle(names);
    LeaveCriticalSection(&m_lock);
    return ok;
}

bool CWifiTarv::RefreshBSSIDs(const WCHAR* adapter, ULONG frequencyMhz)
{
    EnterCriticalSection(&m_lock);
    // The data part: how many frequencies the scan is limited to, then the
    // one frequency; a count of 0 asks for every channel.
    BYTE request[kNdisuioDataOffset + 2 * sizeof(ULONG)] = {};
    const ULONG count = frequencyMhz != 0 ? 1 : 0;
    std::memcpy(request + kNdisuioDataOffset, &count, sizeof(count));
    std::memcpy(request + kNdisuioDataOffset + sizeof(count), &frequencyMhz, sizeof(frequencyMhz));
    const bool ok = SendOid(IOCTL_NDISUIO_SET_OID_VALUE, OID_802_11_BSSID_LIST_SCAN, adapter, request, sizeof(request));
    if (ok)
        Trace("%s: succeeded.", "CWifiTarv::RefreshBSSIDs");
    else
        Trace("%s: failed. Err: %d", "CWifiTarv::RefreshBSSIDs", static_cast<int>(GetLastError()));
    LeaveCriticalSection(&m_lock);
    return ok;
}

bool CWifiTarv::GetScanCount(const WCHAR* adapter, ULONG* count)
{
    if (count == nullptr)
        return false;
    EnterCriticalSection(&m_lock);
    NDISUIO_QUERY_OID query{};
    BYTE* buffer = reinterpret_cast<BYTE*>(&query);
    const bool ok = SendOid(IOCTL_NDISUIO_QUERY_OID_VALUE, OID_TARVOLIN_SCANS_ENDED, adapter, buffer, sizeof(query));
    if (ok)
        std::memcpy(count, query.Data, sizeof(*count));
    LeaveCriticalSection(&m_lock);
    return ok;
}

bool CWifiTarv::GetBSSIDs(const WCHAR* adapter, ScanEntry* entries, DWORD capacity, DWORD* count)
{
    if (entries == nullptr || count == nullptr) {
        if (count != nullptr)
            *count = 0;
        Trace("%s: null pointer.", "CWifiTarv::GetBSSIDs");
        return false;
    }
    EnterCriticalSection(&m_lock);
    // Zeroed, so that whatever a driver leaves unwritten reads as a list end.
    // On the heap: records carry their elements, and the list can be large.
    std::vector<BYTE> reply(kBssidListBufferSize);
    BYTE* const buffer = reply.data();
    if (!SendOid(IOCTL_NDISUIO_QUERY_OID_VALUE, OID_802_11_BSSID_LIST, adapter, buffer, reply.size())) {
        Trace("%s: failed to get list. Err: %d", "CWifiTarv::GetBSSIDs", static_cast<int>(GetLastError()));
        LeaveCriticalSection(&m_lock);
        return false;
    }
    *count = ConvertBssidList(buffer + kNdisuioDataOffset, reply.size() - kNdisuioDataOffset, entries, capacity);
    LeaveCriticalSection(&m_lock);
    Trace("%s: returning.", "CWifiTarv::GetBSSIDs");
    return true;
}

DWORD CWifiTarv::ConvertBssidList(const BYTE* list, std::size_t size, ScanEntry* entries, DWORD capacity)
{
    ULONG items = 0;
    if (size < sizeof(items))
        return 0;
    std::memcpy(&items, list, sizeof(items));
    Trace("%s: received %d entries.", "CWifiTarv::GetBSSIDs", static_cast<int>(items));

    // Each record is checked here, before it is read: its fixed part and its
    // whole Length must lie inside the list, and Length must cover the fixed
    // part. Records are copied out because a Length may leave them unaligned.
    std::size_t offset = sizeof(items);
    DWORD written = 0;
    while (written < items && written < capacity) {
        if (size - offset < sizeof(NDIS_WLAN_BSSID))
            break;
        NDIS_WLAN_BSSID record;
        std::memcpy(&record, list + offset, sizeof(record));
        if (record.Length < sizeof(NDIS_WLAN_BSSID) || record.Length > size - offset)
            break;
        ConvertBssid(record, entries[written]);
        ConvertElements(list + offset, record.Length, entries[written]);
        ++written;
        Trace("%s: processed one entry.", "CWifiTarv::GetBSSIDs");
        offset += record.Length;
    }
    return written;
}

void CWifiTarv::ConvertBssid(const NDIS_WLAN_BSSID& record, ScanEntry& entry)
{
    std::memcpy(entry.mac, record.MacAddress, sizeof(entry.mac));

    // A length of 0 (hidden networks) or above 31 converts the whole array;
    // the conversion stops at the first zero byte either way.
    std::memset(entry.ssid, 0, sizeof(entry.ssid));
    const ULONG ssidLength = record.Ssid.SsidLength;
    const int bytes = ssidLength >= 1 && ssidLength <= 31 ? static_cast<int>(ssidLength) : 32;
    // UTF-8 never gives more UTF-16 code units than it has bytes, so 32 bytes
    // always fit the 32-unit field.
    MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(record.Ssid.Ssid), bytes, entry.ssid, 32);

    entry.rssi = RssiFromField(record.Rssi);
    entry.channel = ChannelFromDSConfig(record.Configuration.DSConfig);
    entry.privacy = record.Privacy;
    entry.infrastructureMode = record.InfrastructureMode;
    // Until elements say more, what the fixed part says: the frequency, one
    // 20 MHz channel, and WEP or open by the privacy bit.
    entry.frequency = FrequencyFromDSConfig(record.Configuration.DSConfig);
    entry.width = 20;
    entry.security = record.Privacy != 0 ? SECURITY_WEP : SECURITY_OPEN;
    entry.enterprise = 0;
}

void CWifiTarv::ConvertElements(const BYTE* record, ULONG length, ScanEntry& entry)
{
    // The extended record's IELength and IEs, when Length leaves room for
    // them; elements that IELength puts past Length are not read at all.
    if (length < kBssidExFixedSize)
        return;
    ULONG ieLength = 0;
    std::memcpy(&ieLength, record + offsetof(NDIS_WLAN_BSSID_EX, IELength), sizeof(ieLength));
    if (ieLength < sizeof(NDIS_802_11_FIXED_IEs) || ieLength > length - kBssidExFixedSize)
        return;
    const std::span<const std::uint8_t> elements(record + kBssidExFixedSize + sizeof(NDIS_802_11_FIXED_IEs),
                                                 ieLength - sizeof(NDIS_802_11_FIXED_IEs));
    const platform::BssDetails details = platform::DecodeBssDetails(elements, entry.privacy != 0);
    entry.width = details.widthMhz;
    entry.security = static_cast<BYTE>(details.security);
    entry.enterprise = details.enterprise ? 1 : 0;
}

ULONG CWifiTarv::FrequencyFromDSConfig(ULONG dsConfig)
{
    // A bare channel number is a 2.4 GHz one.
    if (dsConfig == 14)
        return 2484;
    if (dsConfig >= 1 && dsConfig <= 13)
        return 2407 + 5 * dsConfig;
    return dsConfig / 1000;
}

LONG CWifiTarv::RssiFromField(LONG rssi)
{
    // Some drivers report the signal as a 16-bit value in the upper half.
    const ULONG bits = static_cast<ULONG>(rssi);
    if ((bits & 0xFF) == 0 && ((bits >> 8) & 0xFF) == 0 && (bits >> 24) == 0xFF)
        return static_cast<SHORT>(static_cast<USHORT>(bits >> 16));
    return rssi;
}

ULONG CWifiTarv::ChannelFromDSConfig(ULONG dsConfig)
{
    if (dsConfig <= 14)
        return dsConfig;
    const ULONG mhz = dsConfig / 1000;
    if (mhz >= 2412 && mhz <= 2472)
        return (mhz - 2407) / 5;
    if (mhz == 2484)
        return 14;
    if (mhz >= 4910 && mhz <= 4990)
        return (mhz - 4000) / 5;
    if (mhz > 5000 && mhz < 5925)
        return (mhz - 5000) / 5;
    // 6 GHz: channel 2 sits below the 5950 MHz start of the others.
    if (mhz == 5935)
        return 2;
    if (mhz >= 5955 && mhz <= 7115)
        return (mhz - 5950) / 5;
    // 60 GHz (DMG): channels 2160 MHz apart, channel 1 at 58 320 MHz.
    if (mhz >= 58320 && mhz <= 70200)
        return (mhz - 56160) / 2160;
    return 0;
}
