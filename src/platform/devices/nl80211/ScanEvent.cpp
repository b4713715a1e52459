#include "platform/devices/nl80211/ScanEvent.h"

#include "platform/devices/nl80211/BssDecoder.h"

#include <linux/nl80211.h>

#include <cstring>

namespace platform::nl80211 {

std::optional<ScanEvent> DecodeScanEvent(std::uint8_t command, std::span<const std::uint8_t> attributes)
{
    ScanEvent event;
    switch (command) {
    case NL80211_CMD_TRIGGER_SCAN: event.kind = ScanEvent::Kind::Started; break;
    case NL80211_CMD_NEW_SCAN_RESULTS: event.kind = ScanEvent::Kind::Completed; break;
    case NL80211_CMD_SCAN_ABORTED: event.kind = ScanEvent::Kind::Aborted; break;
    default: return std::nullopt;
    }
    const auto split = SplitAttributes(attributes);
    if (!split)
        return std::nullopt;
    for (const Attribute& attribute : *split) {
        if (attribute.type == NL80211_ATTR_IFINDEX && attribute.payload.size() == sizeof(std::uint32_t)) {
            std::uint32_t index = 0;
            std::memcpy(&index, attribute.payload.data(), sizeof index);
            event.interfaceIndex = index;
        } else if (attribute.type == NL80211_ATTR_SCAN_FREQUENCIES) {
            const auto nested = SplitAttributes(attribute.payload);
            if (!nested)
                return std::nullopt;
            for (const Attribute& frequency : *nested) {
                if (frequency.payload.size() != sizeof(std::uint32_t))
                    continue;
                std::uint32_t mhz = 0;
                std::memcpy(&mhz, frequency.payload.data(), sizeof mhz);
                event.frequencies.push_back(mhz);
            }
        }
    }
    if (event.interfaceIndex == 0)
        return std::nullopt;
    return event;
}

}  // namespace platform::nl80211
