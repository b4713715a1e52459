#include "tools/tarvolin-scan/NetworkView.h"

#include "platform/Text.h"
#include "scan/WifiTarv.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

std::string FormatBssid(const std::array<std::uint8_t, 6>& mac)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

const char* ModeName(std::uint32_t infrastructureMode)
{
    switch (infrastructureMode) {
    case 0: return "adhoc";
    case 1: return "ap";
    default: return "unknown";
    }
}

}  // namespace

NetworkView DescribeNetwork(const platform::WirelessBss& bss, const platform::OuiRegistry& registry)
{
    NetworkView view;
    view.mac = bss.bssid;
    view.bssid = FormatBssid(bss.bssid);
    view.hidden = std::all_of(bss.ssid.begin(), bss.ssid.end(), [](std::uint8_t byte) { return byte == 0; });
    if (!view.hidden) {
        const std::string_view bytes(reinterpret_cast<const char*>(bss.ssid.data()), bss.ssid.size());
        view.ssid = platform::Utf16ToUtf8(platform::Utf8ToUtf16(bytes));
    }
    for (const std::uint8_t byte : bss.ssid) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", byte);
        view.ssidHex += hex;
    }
    view.frequencyMhz = bss.frequencyMhz;
    // The engine's own rule, fed the frequency in kHz as the record carries it.
    view.channel = CWifiTarv::ChannelFromDSConfig(bss.frequencyMhz * 1000);
    view.band = platform::BandName(platform::BandOfFrequency(bss.frequencyMhz));
    view.signalDbm = bss.rssiDbm;
    view.mode = ModeName(bss.infrastructureMode);
    view.details = bss.details;
    view.vendor = registry.Find(bss.bssid);
    if (bss.lastSeenBoottimeNs != 0) {
        timespec now{};
        clock_gettime(CLOCK_BOOTTIME, &now);
        const std::uint64_t nowNs = static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + now.tv_nsec;
        view.lastSeenMs = nowNs > bss.lastSeenBoottimeNs ? (nowNs - bss.lastSeenBoottimeNs) / 1000000u : 0;
    }
    return view;
}

std::string SecurityLabel(const platform::BssDetails& details)
{
    std::string label(platform::SecurityName(details.security));
    if (details.enterprise)
        label += "-enterprise";
    if (details.transition)
        label += "-transition";
    return label;
}

std::string PrintableSsid(const std::string& utf8)
{
    std::string text;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
        } else {
            text.push_back(c);
        }
    }
    return text;
}

void SortStrongestFirst(std::vector<platform::WirelessBss>& networks)
{
    std::stable_sort(networks.begin(), networks.end(), [](const auto& a, const auto& b) {
        if (a.rssiDbm != b.rssiDbm)
            return a.rssiDbm > b.rssiDbm;
        return a.bssid < b.bssid;
    });
}
