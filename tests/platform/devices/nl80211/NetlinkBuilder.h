// Builds netlink attribute runs and information elements by hand, the way the
// kernel lays them out, so tests and benchmarks can feed the decoder exact
// (and exactly damaged) bytes.
#pragma once

#include <linux/netlink.h>
#include <linux/nl80211.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace nltest {

using Bytes = std::vector<std::uint8_t>;

// Appends one attribute with its header and padding.
inline Bytes& Put(Bytes& out, std::uint16_t type, const Bytes& payload)
{
    const auto length = static_cast<std::uint16_t>(NLA_HDRLEN + payload.size());
    const std::size_t start = out.size();
    out.resize(start + NLA_ALIGN(length), 0);
    std::memcpy(out.data() + start, &length, 2);
    std::memcpy(out.data() + start + 2, &type, 2);
    if (!payload.empty())  // an empty vector's data() may be null, which memcpy must not get
        std::memcpy(out.data() + start + NLA_HDRLEN, payload.data(), payload.size());
    return out;
}

template <typename T> Bytes Value(T value)
{
    Bytes bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

// Bytes written as hex digits, two per byte, as captures print them.
inline Bytes Hex(std::string_view hex)
{
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

inline Bytes Text(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

// One information element; the length byte says body.size() unless given.
inline Bytes Element(std::uint8_t id, const Bytes& body, int claimedLength = -1)
{
    Bytes element{id, static_cast<std::uint8_t>(claimedLength < 0 ? body.size() : claimedLength)};
    element.insert(element.end(), body.begin(), body.end());
    return element;
}

inline Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A typical access point as the kernel reports it: BSSID, 2437 MHz, beacon
// interval 100, ESS with privacy, -55 dBm, elements with SSID "Cafe" and a
// rates element.
inline Bytes TypicalBss()
{
    Bytes bss;
    Put(bss, NL80211_BSS_BSSID, {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
    Put(bss, NL80211_BSS_FREQUENCY, Value<std::uint32_t>(2437));
    Put(bss, NL80211_BSS_TSF, Value<std::uint64_t>(123456789));
    Put(bss, NL80211_BSS_BEACON_INTERVAL, Value<std::uint16_t>(100));
    Put(bss, NL80211_BSS_CAPABILITY, Value<std::uint16_t>(0x0011));
    Put(bss, NL80211_BSS_SIGNAL_MBM, Value<std::int32_t>(-5500));
    Put(bss, NL80211_BSS_INFORMATION_ELEMENTS, Join({Element(0, Text("Cafe")), Element(1, {0x82, 0x84, 0x8b, 0x96})}));
    return bss;
}

// The attribute part of a whole NL80211_CMD_NEW_SCAN_RESULTS message.
inline Bytes ScanResultMessage(const Bytes& bss)
{
    Bytes message;
    Put(message, NL80211_ATTR_GENERATION, Value<std::uint32_t>(7));
    Put(message, NL80211_ATTR_IFINDEX, Value<std::uint32_t>(3));
    Put(message, NL80211_ATTR_BSS | NLA_F_NESTED, bss);
    return message;
}

}  // namespace nltest
