// What a network's information elements say beyond the NDIS record: the
// security it offers, WPS and its channel width. The nl80211 provider decodes
// them from the elements it hears; a scenario states them in words.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

// Ordered from weakest to strongest: OWE encrypts without authenticating,
// which puts it above the broken ciphers and below a shared secret.
enum class Security : std::uint8_t { Open, Wep, Wpa, Owe, Wpa2, Wpa3 };

struct BssDetails {
    Security security = Security::Open;  // the strongest the network offers
    bool transition = false;             // it also admits a weaker kind (WPA2/WPA3 mixed, WPA/WPA2, OWE beside open)
    bool enterprise = false;             // the strongest kind authenticates through 802.1X
    bool wps = false;                    // Wi-Fi Protected Setup element present
    std::uint16_t widthMhz = 20;         // operating channel width: 20, 40, 80, 160 or 320

    bool operator==(const BssDetails&) const = default;
};

// Lower-case names, as tarvolin-scan and scenario files write them:
// open, wep, wpa, owe, wpa2, wpa3.
std::string_view SecurityName(Security security);
std::optional<Security> SecurityFromName(std::string_view name);

// Decodes a network's information elements (the platform's one element
// decoder, which tarvolin-scan uses too). privacy is the capability's privacy
// bit, which alone tells WEP from open when no RSN or WPA element is present.
BssDetails DecodeBssDetails(std::span<const std::uint8_t> elements, bool privacy);

enum class Band : std::uint8_t { Unknown, Ghz2_4, Ghz5, Ghz6, Ghz60 };

// The band a centre frequency lies in. 5935 MHz (6 GHz channel 2) lies below
// the 5 GHz band's last channel edge, so 5925 MHz is the dividing line.
Band BandOfFrequency(std::uint32_t frequencyMhz);
// "2.4", "5", "6", "60"; empty for Unknown.
std::string_view BandName(Band band);

}  // namespace platform
