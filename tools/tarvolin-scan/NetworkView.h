// One network as tarvolin-scan's JSON, watch and CSV outputs show it: the
// provider's record with its details, put into words and numbers people read.
#pragma once

#include "platform/devices/OuiRegistry.h"
#include "platform/devices/WirelessProvider.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct NetworkView {
    std::array<std::uint8_t, 6> mac{};
    std::string bssid;    // aa:bb:cc:dd:ee:ff
    std::string ssid;     // UTF-8; bytes that are not UTF-8 become U+FFFD; empty when hidden
    std::string ssidHex;  // the name's bytes as sent, two lower-case hex digits each
    bool hidden = false;  // no name sent, or only zero bytes
    std::uint32_t frequencyMhz = 0;
    std::uint32_t channel = 0;  // 0 when the frequency belongs to no known channel
    std::string band;           // "2.4", "5", "6", "60"; empty when unknown
    std::int32_t signalDbm = 0;
    std::string mode;  // ap, adhoc or unknown
    platform::BssDetails details;
    std::string vendor;                       // empty when unknown
    std::optional<std::uint64_t> lastSeenMs;  // how long ago the radio last heard it; unknown for some sources

    // The name's bytes as sent, for outputs that keep every byte.
    std::string ssidBytes;
};

// The name as UTF-8 (bytes that are not UTF-8 become U+FFFD); empty for a
// hidden network, whose name is absent or all zeros.
std::string SsidUtf8(const platform::WirelessBss& bss);

NetworkView DescribeNetwork(const platform::WirelessBss& bss, const platform::OuiRegistry& registry);

// The whole security in one word for text and CSV: wpa2, wpa2-enterprise,
// wpa3-transition (WPA2/WPA3 mixed), owe-transition, ...
std::string SecurityLabel(const platform::BssDetails& details);

// The name for a text column, written so that it can be read back exactly:
// a backslash as \\, C0 controls and DEL (NUL too) as \xNN, the C1
// controls, U+2028, U+2029 and the bidirectional marks as \u{hex}; all
// else as it is.
std::string PrintableSsid(const std::string& utf8);

// The name as sent, written as PrintableSsid writes it, with each byte that
// is not part of a UTF-8 character as \xNN (only those bytes are written so
// above 7f), so that every name, valid UTF-8 or not, reads back exactly.
std::string PrintableSsidBytes(std::string_view bytes);

// Where bytes stop being UTF-8: the offset of the first byte that is not
// part of a UTF-8 character (as PrintableSsidBytes judges it); npos when
// every byte is.
std::size_t Utf8Error(std::string_view bytes);

// Strongest first, then by BSSID, as the device layer orders the list.
void SortStrongestFirst(std::vector<platform::WirelessBss>& networks);
