#include "tools/tarvolin-scan/NetworkView.h"

#include "platform/Text.h"
#include "platform/devices/Ndis.h"
#include "platform/devices/WirelessBasics.h"
#include "scan/WifiTarv.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

const char* ModeName(std::uint32_t infrastructureMode)
{
    switch (infrastructureMode) {
    case Ndis802_11IBSS: return "adhoc";
    case Ndis802_11Infrastructure: return "ap";
    default: return "unknown";
    }
}

}  // namespace

std::string SsidUtf8(const platform::WirelessBss& bss)
{
    if (std::all_of(bss.ssid.begin(), bss.ssid.end(), [](std::uint8_t byte) { return byte == 0; }))
        return {};
    const std::string_view bytes(reinterpret_cast<const char*>(bss.ssid.data()), bss.ssid.size());
    return platform::Utf16ToUtf8(platform::Utf8ToUtf16(bytes));
}

NetworkView DescribeNetwork(const platform::WirelessBss& bss, const platform::OuiRegistry& registry)
{
    NetworkView view;
    view.mac = bss.bssid;
    view.bssid = platform::FormatMac(bss.bssid);
    view.hidden = std::all_of(bss.ssid.begin(), bss.ssid.end(), [](std::uint8_t byte) { return byte == 0; });
    view.ssid = SsidUtf8(bss);
    for (const std::uint8_t byte : bss.ssid) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", byte);
        view.ssidHex += hex;
    }
    view.ssidBytes.assign(bss.ssid.begin(), bss.ssid.end());
    view.frequencyMhz = bss.frequencyMhz;
    // The engine's own rule, fed the frequency in kHz as the record carries it.
    view.channel = CWifiTarv::ChannelFromDSConfig(bss.frequencyMhz * 1000);
    view.band = platform::BandName(platform::BandOfFrequency(bss.frequencyMhz));
    view.signalDbm = bss.rssiDbm;
    view.mode = ModeName(bss.infrastructureMode);
    view.details = bss.details;
    view.vendor = registry.Find(bss.bssid);
    if (bss.lastSeenBoottimeNs != 0) {
        const std::uint64_t nowNs = platform::BoottimeNowNs();
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

namespace {

// Characters above U+007F that a text column writes as \u{...}: the C1
// controls, the line and paragraph separators (line breaks to many readers),
// and the marks that reorder text on a terminal.
bool EscapedAboveAscii(char32_t c)
{
    return (c >= 0x80 && c <= 0x9F) || c == 0x200E || c == 0x200F || c == 0x2028 || c == 0x2029 ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// The character that starts at utf8[at] when it is one a text column
// escapes, and how many bytes it takes; 0 otherwise. All of them lead with
// 0xC2 (U+0080 to U+00BF) or 0xE2 (U+2000 to U+2FFF).
std::size_t EscapedSequence(const std::string& utf8, std::size_t at, char32_t& c)
{
    const auto byte = [&](std::size_t k) {
        return at + k < utf8.size() ? static_cast<unsigned char>(utf8[at + k]) : 0u;
    };
    const auto continuation = [&](std::size_t k) { return (byte(k) & 0xC0u) == 0x80u; };
    if (byte(0) == 0xC2 && continuation(1)) {
        c = byte(1);
        return EscapedAboveAscii(c) ? 2 : 0;
    }
    if (byte(0) == 0xE2 && continuation(1) && continuation(2)) {
        c = 0x2000 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
        return EscapedAboveAscii(c) ? 3 : 0;
    }
    return 0;
}

}  // namespace

std::string PrintableSsid(const std::string& utf8)
{
    std::string text;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        char escaped[16];
        char32_t c = 0;
        if (byte == '\\') {
            text += "\\\\";
            ++i;
        } else if (byte < 0x20 || byte == 0x7F) {
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
            ++i;
        } else if (const std::size_t length = EscapedSequence(utf8, i, c); length != 0) {
            std::snprintf(escaped, sizeof escaped, "\\u{%x}", static_cast<unsigned>(c));
            text += escaped;
            i += length;
        } else {
            text.push_back(utf8[i++]);
        }
    }
    return text;
}

namespace {

// The length of the UTF-8 character that starts at bytes[at]; 0 when the
// byte there starts none (a stray continuation byte, an overlong form, a
// surrogate, a value above U+10FFFF, a cut sequence).
std::size_t Utf8Length(std::string_view bytes, std::size_t at)
{
    const auto byte = [&](std::size_t k) {
        return at + k < bytes.size() ? static_cast<unsigned char>(bytes[at + k]) : 0u;
    };
    const auto continuation = [&](std::size_t k) { return (byte(k) & 0xC0u) == 0x80u; };
    const unsigned lead = byte(0);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return continuation(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned high = lead == 0xED ? 0x9F : 0xBF;
        return byte(1) >= low && byte(1) <= high && continuation(2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned high = lead == 0xF4 ? 0x8F : 0xBF;
        return byte(1) >= low && byte(1) <= high && continuation(2) && continuation(3) ? 4 : 0;
    }
    return 0;
}

}  // namespace

std::size_t Utf8Error(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8Length(bytes, i);
        if (length == 0)
            return i;
        i += length;
    }
    return std::string_view::npos;
}

std::string PrintableSsidBytes(std::string_view bytes)
{
    std::string text;
    std::string run;  // valid UTF-8 waiting to be escaped as a whole
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::size_t length = Utf8Length(bytes, i); length != 0) {
            run.append(bytes.substr(i, length));
            i += length;
            continue;
        }
        text += PrintableSsid(run);
        run.clear();
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(bytes[i++]));
        text += escaped;
    }
    return text + PrintableSsid(run);
}

void SortStrongestFirst(std::vector<platform::WirelessBss>& networks)
{
    std::stable_sort(networks.begin(), networks.end(), [](const auto& a, const auto& b) {
        if (a.rssiDbm != b.rssiDbm)
            return a.rssiDbm > b.rssiDbm;
        return a.bssid < b.bssid;
    });
}
