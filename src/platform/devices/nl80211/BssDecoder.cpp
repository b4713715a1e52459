#include "platform/devices/nl80211/BssDecoder.h"

#include "platform/devices/Ndis.h"

#include <linux/netlink.h>
#include <linux/nl80211.h>

#include <algorithm>
#include <cstring>

namespace platform::nl80211 {

namespace {

constexpr std::size_t kAttributeHeader = 4;

// Capability information bits of the beacon.
constexpr std::uint16_t kCapabilityEss = 1u << 0;
constexpr std::uint16_t kCapabilityIbss = 1u << 1;
constexpr std::uint16_t kCapabilityPrivacy = 1u << 4;

// Netlink carries integers in host byte order.
template <typename T> T ReadHost(std::span<const std::uint8_t> payload)
{
    T value;
    std::memcpy(&value, payload.data(), sizeof value);
    return value;
}

// What decoding one BSS collects before it becomes a WirelessBss: which
// optional attributes were present decides between alternatives.
struct BssDraft {
    WirelessBss bss;
    bool haveBssid = false;
    bool haveMbm = false;
    std::optional<std::uint8_t> unspecSignal;
    std::optional<std::uint16_t> capability;
    std::span<const std::uint8_t> elements;
    std::span<const std::uint8_t> beaconElements;
    bool haveElements = false;
    bool haveBeaconElements = false;
    std::optional<std::uint32_t> seenMsAgo;
};

// One row per attribute the decoder uses: its exact payload size (0: any) and
// what it contributes. An attribute of another size is ignored.
struct BssField {
    std::uint16_t type;
    std::size_t size;
    void (*apply)(BssDraft&, std::span<const std::uint8_t>);
};

constexpr BssField kBssFields[] = {
    {NL80211_BSS_BSSID, 6,
     [](BssDraft& d, std::span<const std::uint8_t> p) {
         std::copy(p.begin(), p.end(), d.bss.bssid.begin());
         d.haveBssid = true;
     }},
    {NL80211_BSS_FREQUENCY, 4,
     [](BssDraft& d, std::span<const std::uint8_t> p) { d.bss.frequencyMhz = ReadHost<std::uint32_t>(p); }},
    {NL80211_BSS_BEACON_INTERVAL, 2,
     [](BssDraft& d, std::span<const std::uint8_t> p) { d.bss.beaconPeriod = ReadHost<std::uint16_t>(p); }},
    {NL80211_BSS_CAPABILITY, 2,
     [](BssDraft& d, std::span<const std::uint8_t> p) { d.capability = ReadHost<std::uint16_t>(p); }},
    {NL80211_BSS_SIGNAL_MBM, 4,
     [](BssDraft& d, std::span<const std::uint8_t> p) {
         d.bss.rssiDbm = ReadHost<std::int32_t>(p) / 100;
         d.haveMbm = true;
     }},
    {NL80211_BSS_SIGNAL_UNSPEC, 1, [](BssDraft& d, std::span<const std::uint8_t> p) { d.unspecSignal = p[0]; }},
    {NL80211_BSS_INFORMATION_ELEMENTS, 0,
     [](BssDraft& d, std::span<const std::uint8_t> p) {
         d.elements = p;
         d.haveElements = true;
     }},
    {NL80211_BSS_LAST_SEEN_BOOTTIME, 8,
     [](BssDraft& d, std::span<const std::uint8_t> p) { d.bss.lastSeenBoottimeNs = ReadHost<std::uint64_t>(p); }},
    {NL80211_BSS_SEEN_MS_AGO, 4,
     [](BssDraft& d, std::span<const std::uint8_t> p) { d.seenMsAgo = ReadHost<std::uint32_t>(p); }},
    {NL80211_BSS_BEACON_IES, 0,
     [](BssDraft& d, std::span<const std::uint8_t> p) {
         d.beaconElements = p;
         d.haveBeaconElements = true;
     }},
};

// Drivers without a calibrated signal report a quality from 0 to 100. It is
// mapped linearly onto -100 dBm .. -50 dBm, the range that common desktop
// tools show as 0 % .. 100 %, so that such a network still sorts and shades
// sensibly beside networks measured in dBm.
std::int32_t QualityToDbm(std::uint8_t quality)
{
    return static_cast<std::int32_t>(std::min<std::uint8_t>(quality, 100)) / 2 - 100;
}

}  // namespace

std::optional<std::vector<Attribute>> SplitAttributes(std::span<const std::uint8_t> bytes)
{
    std::vector<Attribute> attributes;
    std::size_t offset = 0;
    while (bytes.size() - offset >= kAttributeHeader) {
        const auto length = ReadHost<std::uint16_t>(bytes.subspan(offset, 2));
        const auto type = ReadHost<std::uint16_t>(bytes.subspan(offset + 2, 2));
        if (length < kAttributeHeader || length > bytes.size() - offset)
            return std::nullopt;
        attributes.push_back({static_cast<std::uint16_t>(type & NLA_TYPE_MASK),
                              bytes.subspan(offset + kAttributeHeader, length - kAttributeHeader)});
        // The last attribute's padding may be missing from the buffer.
        offset += std::min<std::size_t>(NLA_ALIGN(length), bytes.size() - offset);
    }
    // Fewer than four bytes left over cannot be an attribute.
    if (offset != bytes.size())
        return std::nullopt;
    return attributes;
}

std::optional<WirelessBss> DecodeBss(std::span<const std::uint8_t> bssAttributes, std::uint64_t readBoottimeNs)
{
    const auto attributes = SplitAttributes(bssAttributes);
    if (!attributes)
        return std::nullopt;

    BssDraft draft;
    for (const Attribute& attribute : *attributes) {
        for (const BssField& field : kBssFields) {
            if (field.type != attribute.type)
                continue;
            if (field.size == 0 || attribute.payload.size() == field.size)
                field.apply(draft, attribute.payload);
            break;
        }
    }
    if (!draft.haveBssid)
        return std::nullopt;

    // The age is the older kernels' way of saying when; the boot-time stamp,
    // where given, is exact and wins.
    constexpr std::uint64_t kNsPerMs = 1000000;
    if (draft.bss.lastSeenBoottimeNs == 0 && draft.seenMsAgo && readBoottimeNs != 0) {
        const std::uint64_t age = std::uint64_t{*draft.seenMsAgo} * kNsPerMs;
        draft.bss.lastSeenBoottimeNs = age < readBoottimeNs ? readBoottimeNs - age : 1;
    }

    if (!draft.haveMbm && draft.unspecSignal)
        draft.bss.rssiDbm = QualityToDbm(*draft.unspecSignal);

    if (draft.capability) {
        const std::uint16_t capability = *draft.capability;
        draft.bss.privacy = (capability & kCapabilityPrivacy) != 0;
        if (capability & kCapabilityEss)
            draft.bss.infrastructureMode = Ndis802_11Infrastructure;
        else if (capability & kCapabilityIbss)
            draft.bss.infrastructureMode = Ndis802_11IBSS;
        else  // neither bit, e.g. a mesh point
            draft.bss.infrastructureMode = Ndis802_11AutoUnknown;
    } else {
        draft.bss.infrastructureMode = Ndis802_11AutoUnknown;
    }

    // The elements of the latest frame heard (probe response or beacon) come
    // first; the beacon's own elements serve when the kernel gives only those.
    const auto elements = draft.haveElements ? draft.elements : draft.beaconElements;
    DecodedElements decoded = DecodeElements(elements, draft.bss.privacy);
    draft.bss.ssid = std::move(decoded.ssid);
    draft.bss.details = decoded.details;
    draft.bss.elements.assign(elements.begin(), elements.end());

    return draft.bss;
}

std::optional<WirelessBss> DecodeScanResult(std::span<const std::uint8_t> messageAttributes,
                                            std::uint64_t readBoottimeNs)
{
    const auto attributes = SplitAttributes(messageAttributes);
    if (!attributes)
        return std::nullopt;
    for (const Attribute& attribute : *attributes) {
        if (attribute.type == NL80211_ATTR_BSS)
            return DecodeBss(attribute.payload, readBoottimeNs);
    }
    return std::nullopt;
}

}  // namespace platform::nl80211
