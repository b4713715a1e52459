// libFuzzer target: any bytes as the information elements of a BSS, with and
// without the privacy bit. Built with clang when it is installed; the
// sanitizers it is built with catch any read outside the elements.
#include "platform/devices/nl80211/InformationElements.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    for (const bool privacy : {false, true}) {
        const auto decoded = platform::nl80211::DecodeElements(bytes, privacy);
        // What the decoder promises, whatever the input.
        if (decoded.ssid.size() > platform::nl80211::kMaxSsidLength)
            std::abort();
        const auto width = decoded.details.widthMhz;
        if (width != 20 && width != 40 && width != 80 && width != 160 && width != 320)
            std::abort();
        if (!privacy && decoded.details.security == platform::Security::Wep)
            std::abort();
    }
    return 0;
}
