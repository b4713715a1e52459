#include "tools/tarvolin-scan/ScanOutput.h"

#include "platform/Text.h"
#include "platform/devices/Ndis.h"
#include "platform/devices/WirelessBasics.h"
#include "tools/tarvolin-scan/NetworkView.h"

#include <algorithm>
#include <string_view>

namespace {

const char* ModeName(ULONG infrastructureMode)
{
    switch (infrastructureMode) {
    case Ndis802_11IBSS: return "PEER";
    case Ndis802_11Infrastructure: return "AP";
    default: return "?";
    }
}

// The name ends at its first NUL or after all 32 code units.
std::string SsidText(const WCHAR (&ssid)[32])
{
    std::size_t length = 0;
    while (length < 32 && ssid[length] != 0)
        ++length;
    return PrintableSsid(platform::Utf16ToUtf8(std::u16string_view(ssid, length)));
}

}  // namespace

std::string FormatScanEntry(const ScanEntry& entry, const std::vector<platform::WirelessBss>& records)
{
    // The engine's record ends the name at its first NUL, as the program's
    // list shows it; the provider's record of the same BSSID holds every
    // byte sent, decoded by the same rule, so a\0b and a\0c stay apart.
    const auto record = std::find_if(records.begin(), records.end(), [&](const platform::WirelessBss& bss) {
        return std::equal(bss.bssid.begin(), bss.bssid.end(), std::begin(entry.mac));
    });
    const std::string name = record == records.end() ? SsidText(entry.ssid) : PrintableSsid(SsidUtf8(*record));
    return platform::FormatMac(entry.mac) + '\t' + std::to_string(entry.channel) + '\t' + std::to_string(entry.rssi) +
           '\t' + ModeName(entry.infrastructureMode) + '\t' + (entry.privacy != 0 ? "secured" : "open") + '\t' + name;
}
