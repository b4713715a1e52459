// The messages of nl80211's "scan" multicast group that say when a scan on an
// interface starts and ends, decoded from their attribute bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::nl80211 {

struct ScanEvent {
    enum class Kind { Started, Completed, Aborted };
    Kind kind = Kind::Started;
    unsigned interfaceIndex = 0;
    // The frequencies (MHz) the scan covers; empty when the message lists none.
    std::vector<std::uint32_t> frequencies;
};

// Decodes one message of the group: its generic netlink command and the
// attribute bytes after the header. Nothing for another command, a message
// about no network interface (a P2P device, say), or attributes that cannot
// be walked.
std::optional<ScanEvent> DecodeScanEvent(std::uint8_t command, std::span<const std::uint8_t> attributes);

}  // namespace platform::nl80211
