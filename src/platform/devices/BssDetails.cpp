#include "platform/devices/BssDetails.h"

#include "platform/devices/nl80211/InformationElements.h"

#include <array>

namespace platform {

namespace {

constexpr std::array<std::string_view, 6> kSecurityNames = {"open", "wep", "wpa", "owe", "wpa2", "wpa3"};

}  // namespace

std::string_view SecurityName(Security security)
{
    return kSecurityNames[static_cast<std::size_t>(security)];
}

std::optional<Security> SecurityFromName(std::string_view name)
{
    for (std::size_t i = 0; i < kSecurityNames.size(); ++i) {
        if (kSecurityNames[i] == name)
            return static_cast<Security>(i);
    }
    return std::nullopt;
}

BssDetails DecodeBssDetails(std::span<const std::uint8_t> elements, bool privacy)
{
    return nl80211::DecodeElements(elements, privacy).details;
}

Band BandOfFrequency(std::uint32_t frequencyMhz)
{
    if (frequencyMhz >= 2400 && frequencyMhz < 2500)
        return Band::Ghz2_4;
    if (frequencyMhz >= 4900 && frequencyMhz < 5925)
        return Band::Ghz5;
    if (frequencyMhz >= 5925 && frequencyMhz <= 7125)
        return Band::Ghz6;
    if (frequencyMhz >= 57000 && frequencyMhz <= 71000)
        return Band::Ghz60;
    return Band::Unknown;
}

std::string_view BandName(Band band)
{
    switch (band) {
    case Band::Ghz2_4: return "2.4";
    case Band::Ghz5: return "5";
    case Band::Ghz6: return "6";
    case Band::Ghz60: return "60";
    case Band::Unknown: break;
    }
    return {};
}

}  // namespace platform
