#include "platform/devices/Devices.h"

#include "platform/Text.h"
#include "platform/devices/BssidListWriter.h"
#include "platform/devices/Ndis.h"
#include "platform/devices/WirelessProvider.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace {

using platform::WirelessProvider;

enum class DeviceKind { NdisUio, NdisNames };

// What a device handle points at. The provider is the one installed when the
// device was opened, so a handle keeps answering from it.
struct DeviceObject {
    DeviceKind kind;
    std::shared_ptr<WirelessProvider> provider;
};

thread_local DWORD t_lastError = ERROR_SUCCESS;

std::mutex g_providerMutex;
std::shared_ptr<WirelessProvider> g_provider;

// Every open handle, so that a stale or foreign handle is refused instead of
// being followed.
std::mutex g_handlesMutex;
std::map<const void*, std::unique_ptr<DeviceObject>> g_handles;

BOOL Fail(DWORD error)
{
    t_lastError = error;
    return FALSE;
}

bool SameNameIgnoringCase(const WCHAR* text, std::u16string_view name)
{
    for (WCHAR expected : name) {
        WCHAR c = *text++;
        if (c >= u'a' && c <= u'z')
            c = static_cast<WCHAR>(c - u'a' + u'A');
        if (c != expected)
            return false;
    }
    return *text == 0;
}

// Longest adapter name we follow through a caller's pointer; Linux interface
// names are at most 15 bytes, so anything longer is a missing terminator.
constexpr std::size_t kMaxAdapterName = 256;

// A request to "UIO1:" after every length in it has been checked: the OID,
// the adapter name, and the data span the reply goes to (query) or the
// request's data comes from (set).
struct OidRequest {
    NDIS_OID oid = 0;
    std::string adapter;
    BYTE* data = nullptr;
    std::size_t dataSize = 0;
};

// The one place that checks the buffers of an OID request before anything
// reads or writes them.
DWORD CheckOidRequest(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, OidRequest& request)
{
    if (in == nullptr || inSize < kNdisuioDataOffset)
        return ERROR_INVALID_PARAMETER;
    const BYTE* header = static_cast<const BYTE*>(in);
    std::memcpy(&request.oid, header + offsetof(NDISUIO_QUERY_OID, Oid), sizeof(request.oid));
    const WCHAR* name = nullptr;
    std::memcpy(&name, header + offsetof(NDISUIO_QUERY_OID, ptcDeviceName), sizeof(name));
    if (name == nullptr)
        return ERROR_INVALID_PARAMETER;
    std::size_t length = 0;
    while (length < kMaxAdapterName && name[length] != 0)
        ++length;
    if (length == kMaxAdapterName)
        return ERROR_INVALID_PARAMETER;
    // Byte for byte: an interface name need not be UTF-8 (see BytesToUtf16).
    request.adapter = platform::Utf16ToBytes(std::u16string_view(name, length));

    if (code == IOCTL_NDISUIO_SET_OID_VALUE) {
        request.data = static_cast<BYTE*>(in) + kNdisuioDataOffset;
        request.dataSize = inSize - kNdisuioDataOffset;
        return ERROR_SUCCESS;
    }
    if (out == nullptr || outSize < kNdisuioDataOffset)
        return ERROR_INSUFFICIENT_BUFFER;
    // The reply carries the request's header, as when one buffer serves both.
    if (out != in)
        std::memmove(out, in, kNdisuioDataOffset);
    request.data = static_cast<BYTE*>(out) + kNdisuioDataOffset;
    request.dataSize = outSize - kNdisuioDataOffset;
    return ERROR_SUCCESS;
}

DWORD QueryOid(WirelessProvider& provider, const OidRequest& request, std::size_t& written)
{
    switch (request.oid) {
    case OID_GEN_PHYSICAL_MEDIUM: {
        if (request.dataSize < sizeof(ULONG))
            return ERROR_INSUFFICIENT_BUFFER;
        bool wireless = false;
        if (const DWORD error = provider.IsWireless(request.adapter, wireless); error != ERROR_SUCCESS)
            return error;
        const ULONG medium = wireless ? NdisPhysicalMediumWirelessLan : NdisPhysicalMediumUnspecified;
        std::memcpy(request.data, &medium, sizeof(medium));
        written = sizeof(medium);
        return ERROR_SUCCESS;
    }
    case OID_TARVOLIN_SCANS_ENDED: {
        if (request.dataSize < sizeof(ULONG))
            return ERROR_INSUFFICIENT_BUFFER;
        std::uint64_t ended = 0;
        if (const DWORD error = provider.CountEndedScans(request.adapter, ended); error != ERROR_SUCCESS)
            return error;
        const ULONG count = static_cast<ULONG>(ended);  // wraps, as the caller expects
        std::memcpy(request.data, &count, sizeof(count));
        written = sizeof(count);
        return ERROR_SUCCESS;
    }
    case OID_802_11_BSSID_LIST: {
        if (request.dataSize < sizeof(ULONG))
            return ERROR_INSUFFICIENT_BUFFER;
        std::vector<platform::WirelessBss> networks;
        if (const DWORD error = provider.ReadScan(request.adapter, networks); error != ERROR_SUCCESS)
            return error;
        return platform::WriteBssidList(networks, request.data, request.dataSize, written);
    }
    default: return ERROR_NOT_SUPPORTED;
    }
}

// The frequencies a scan request names in its data (NDIS_802_11_SCAN_FREQUENCIES);
// none for every channel, as a request without data asks. A count cut short,
// a count the data does not hold, too many frequencies, or one outside the
// bands a scan can visit is refused.
DWORD ReadScanFrequencies(const OidRequest& request, std::vector<std::uint32_t>& frequencies)
{
    ULONG count = 0;
    if (request.dataSize == 0)
        return ERROR_SUCCESS;
    if (request.dataSize < sizeof(count))
        return ERROR_INVALID_PARAMETER;
    std::memcpy(&count, request.data, sizeof(count));
    if (count > kMaxScanFrequencies || (request.dataSize - sizeof(count)) / sizeof(ULONG) < count)
        return ERROR_INVALID_PARAMETER;
    for (ULONG i = 0; i < count; ++i) {
        ULONG frequency = 0;
        std::memcpy(&frequency, request.data + sizeof(count) + i * sizeof(ULONG), sizeof(frequency));
        if (frequency < kMinScanFrequencyMhz || frequency > kMaxScanFrequencyMhz)
            return ERROR_INVALID_PARAMETER;
        frequencies.push_back(frequency);
    }
    return ERROR_SUCCESS;
}

DWORD SetOid(WirelessProvider& provider, const OidRequest& request)
{
    if (request.oid != OID_802_11_BSSID_LIST_SCAN)
        return ERROR_NOT_SUPPORTED;
    std::vector<std::uint32_t> frequencies;
    if (const DWORD error = ReadScanFrequencies(request, frequencies); error != ERROR_SUCCESS)
        return error;
    if (frequencies.empty())
        return provider.TriggerScan(request.adapter);
    return provider.TriggerScanOn(request.adapter, frequencies);
}

// Whether a name comes through the adapter list as itself. The program joins
// the list's names with commas and splits them there again, and holds them as
// UTF-16 text: a name with a comma would come back as pieces that name no
// interface (or another one), a name that is not UTF-8 as one that does not
// exist. Such interfaces stay reachable by name, just not through the list.
bool ListableName(const std::string& name)
{
    return !name.empty() && name.find_first_of(std::string_view(",\0", 2)) == std::string::npos &&
           platform::Utf16ToUtf8(platform::Utf8ToUtf16(name)) == name;
}

// Writes the name of every interface that can be offered, each
// NUL-terminated, then an empty name. A name that does not fit together with
// the final terminator is left out. A wireless interface that cannot scan as
// a station (a monitor, an access point) is no adapter to scan with and is
// left out too. Wireless interfaces come first, each group in the order the
// system gives: on a machine with many virtual interfaces (containers,
// bridges) the reply fills up, and what gets left out must not be the
// wireless adapters.
DWORD ListAdapterNames(WirelessProvider& provider, void* out, DWORD outSize, std::size_t& written)
{
    if (out == nullptr || outSize < sizeof(WCHAR))
        return ERROR_INSUFFICIENT_BUFFER;
    std::vector<std::string> names;
    if (const DWORD error = provider.ListInterfaces(names); error != ERROR_SUCCESS)
        return error;
    std::vector<std::u16string> wirelessNames;
    std::vector<std::u16string> otherNames;
    for (const std::string& name : names) {
        if (!ListableName(name))
            continue;
        bool wireless = false;
        if (provider.IsWireless(name, wireless) != ERROR_SUCCESS || !wireless) {
            otherNames.push_back(platform::Utf8ToUtf16(name));
            continue;
        }
        bool station = true;
        if (provider.CanScan(name, station) == ERROR_SUCCESS && !station)
            continue;
        wirelessNames.push_back(platform::Utf8ToUtf16(name));
    }
    BYTE* bytes = static_cast<BYTE*>(out);
    std::size_t used = 0;
    const WCHAR nul = 0;
    for (const auto* group : {&wirelessNames, &otherNames}) {
        for (const std::u16string& text : *group) {
            const std::size_t size = (text.size() + 1) * sizeof(WCHAR);
            if (used + size + sizeof(WCHAR) > outSize)
                continue;
            std::memcpy(bytes + used, text.data(), text.size() * sizeof(WCHAR));
            std::memcpy(bytes + used + text.size() * sizeof(WCHAR), &nul, sizeof(nul));
            used += size;
        }
    }
    std::memcpy(bytes + used, &nul, sizeof(nul));
    written = used + sizeof(nul);
    return ERROR_SUCCESS;
}

}  // namespace

namespace platform {

void SetWirelessProvider(std::shared_ptr<WirelessProvider> provider)
{
    std::lock_guard lock(g_providerMutex);
    g_provider = std::move(provider);
}

std::shared_ptr<WirelessProvider> GetWirelessProvider()
{
    std::lock_guard lock(g_providerMutex);
    return g_provider;
}

}  // namespace platform

HANDLE CreateFileW(const WCHAR* fileName, DWORD, DWORD, void*, DWORD, DWORD, HANDLE)
{
    DeviceKind kind;
    if (fileName != nullptr && SameNameIgnoringCase(fileName, u"UIO1:"))
        kind = DeviceKind::NdisUio;
    else if (fileName != nullptr && SameNameIgnoringCase(fileName, u"NDS0:"))
        kind = DeviceKind::NdisNames;
    else {
        t_lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    auto provider = platform::GetWirelessProvider();
    if (!provider) {
        t_lastError = ERROR_DEV_NOT_EXIST;
        return INVALID_HANDLE_VALUE;
    }
    auto object = std::make_unique<DeviceObject>(DeviceObject{kind, std::move(provider)});
    HANDLE handle = object.get();
    std::lock_guard lock(g_handlesMutex);
    g_handles.emplace(handle, std::move(object));
    return handle;
}

BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, void* inBuffer, DWORD inBufferSize, void* outBuffer,
                     DWORD outBufferSize, DWORD* bytesReturned, void*)
{
    if (bytesReturned != nullptr)
        *bytesReturned = 0;
    DeviceKind kind;
    std::shared_ptr<WirelessProvider> provider;
    {
        std::lock_guard lock(g_handlesMutex);
        const auto it = g_handles.find(device);
        if (it == g_handles.end())
            return Fail(ERROR_INVALID_HANDLE);
        kind = it->second->kind;
        provider = it->second->provider;
    }

    std::size_t written = 0;
    DWORD error = ERROR_NOT_SUPPORTED;
    if (kind == DeviceKind::NdisNames && ioControlCode == IOCTL_NDIS_GET_ADAPTER_NAMES) {
        error = ListAdapterNames(*provider, outBuffer, outBufferSize, written);
    } else if (kind == DeviceKind::NdisUio &&
               (ioControlCode == IOCTL_NDISUIO_QUERY_OID_VALUE || ioControlCode == IOCTL_NDISUIO_SET_OID_VALUE)) {
        OidRequest request;
        error = CheckOidRequest(ioControlCode, inBuffer, inBufferSize, outBuffer, outBufferSize, request);
        if (error == ERROR_SUCCESS && ioControlCode == IOCTL_NDISUIO_QUERY_OID_VALUE) {
            error = QueryOid(*provider, request, written);
            if (error == ERROR_SUCCESS)
                written += kNdisuioDataOffset;
        } else if (error == ERROR_SUCCESS) {
            error = SetOid(*provider, request);
        }
    }
    if (error != ERROR_SUCCESS)
        return Fail(error);
    if (bytesReturned != nullptr)
        *bytesReturned = static_cast<DWORD>(written);
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    std::unique_ptr<DeviceObject> object;
    {
        std::lock_guard lock(g_handlesMutex);
        const auto it = g_handles.find(handle);
        if (it == g_handles.end())
            return Fail(ERROR_INVALID_HANDLE);
        object = std::move(it->second);
        g_handles.erase(it);
    }
    return TRUE;
}

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD errorCode)
{
    t_lastError = errorCode;
}
