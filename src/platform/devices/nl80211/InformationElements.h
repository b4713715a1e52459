// Decodes a BSS's 802.11 information elements into what tarvolin-scan shows:
// the SSID, the security the network offers (from the RSN and WPA elements
// and their AKM suites), WPS, and the channel width (from the HT, VHT, HE and
// EHT operation elements).
//
// Decoding is table-driven. The elements are split and checked against the
// buffer once (SplitElements); then each one is looked up by id (extension
// elements by extension id, vendor-specific ones by OUI and type), and its
// body length is checked against the table row's bounds before its decoder
// reads a single field. A decoder only ever sees a body its row accepts.
#pragma once

#include "platform/devices/BssDetails.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform::nl80211 {

// One 802.11 information element: id and body.
struct Element {
    std::uint8_t id = 0;
    std::span<const std::uint8_t> body;
};

// Splits information elements (1-byte id, 1-byte length, body). Every element
// is checked against the buffer here, once, before any decoder sees it. The
// walk stops at the first element that runs past the end (or a lone trailing
// byte); the elements before it are kept, since a damaged tail does not
// change what the head says.
std::vector<Element> SplitElements(std::span<const std::uint8_t> bytes);

// The longest SSID 802.11 allows.
inline constexpr std::size_t kMaxSsidLength = 32;

struct DecodedElements {
    std::vector<std::uint8_t> ssid;  // the first SSID element's body; empty when absent or longer than 32 bytes
    BssDetails details;
};

// Decodes the elements of one BSS. privacy is the capability's privacy bit,
// which alone tells WEP from open when no RSN or WPA element is present.
DecodedElements DecodeElements(std::span<const std::uint8_t> elements, bool privacy);

}  // namespace platform::nl80211
