// Turns nl80211 scan results into WirelessBss records. Pure functions on byte
// buffers, apart from any socket, so that every length check can be tried
// with hand-built and damaged input.
#pragma once

#include "platform/devices/WirelessProvider.h"
#include "platform/devices/nl80211/InformationElements.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::nl80211 {

// One netlink attribute whose whole payload lies inside the buffer it came from.
struct Attribute {
    std::uint16_t type = 0;  // without the nested and byte-order flags
    std::span<const std::uint8_t> payload;
};

// Splits a run of netlink attributes (4-byte header: length, type; payload
// padded to 4 bytes). Returns nothing when a header is short or claims more
// bytes than remain: a run that cannot be walked to its end is not trusted.
std::optional<std::vector<Attribute>> SplitAttributes(std::span<const std::uint8_t> bytes);

// Decodes the attributes nested in NL80211_ATTR_BSS. Nothing for a BSS
// without a well-formed BSSID or with an attribute run that cannot be walked;
// a single field of the wrong size is left at its default instead.
// readBoottimeNs is the CLOCK_BOOTTIME time at which the kernel's list was
// read: a kernel that gives only the age of an entry (NL80211_BSS_SEEN_MS_AGO)
// gets its last-seen time from it; 0 leaves such a time unknown.
std::optional<WirelessBss> DecodeBss(std::span<const std::uint8_t> bssAttributes, std::uint64_t readBoottimeNs = 0);

// Decodes the attribute part of one NL80211_CMD_NEW_SCAN_RESULTS message (the
// bytes after the generic netlink header). Nothing when it holds no usable BSS.
std::optional<WirelessBss> DecodeScanResult(std::span<const std::uint8_t> messageAttributes,
                                            std::uint64_t readBoottimeNs = 0);

}  // namespace platform::nl80211
