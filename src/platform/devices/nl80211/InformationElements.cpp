#include "platform/devices/nl80211/InformationElements.h"

#include <algorithm>
#include <array>

namespace platform::nl80211 {

namespace {

constexpr std::uint8_t kExtensionElement = 255;
constexpr std::uint8_t kVendorElement = 221;

// Suite selectors and vendor keys are written OUI first, most significant
// byte first. The caller vouches for the four bytes.
std::uint32_t BigEndian32(std::span<const std::uint8_t> bytes)
{
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

// A body reader that never reads past the body: every read says whether the
// bytes were there. Used inside elements whose layout has optional or counted
// parts after the fixed head the table checks.
class BodyReader {
public:
    explicit BodyReader(std::span<const std::uint8_t> body) : m_body(body) { }

    bool AtEnd() const { return m_offset == m_body.size(); }
    bool Skip(std::size_t count)
    {
        if (count > m_body.size() - m_offset)
            return false;
        m_offset += count;
        return true;
    }
    bool Byte(std::uint8_t& value)
    {
        if (m_offset >= m_body.size())
            return false;
        value = m_body[m_offset++];
        return true;
    }
    // 802.11 fields are little-endian.
    bool Word(std::uint16_t& value)
    {
        std::uint8_t low = 0;
        std::uint8_t high = 0;
        if (m_body.size() - m_offset < 2)
            return false;
        Byte(low);
        Byte(high);
        value = static_cast<std::uint16_t>(low | (high << 8));
        return true;
    }
    bool Suite(std::uint32_t& value)
    {
        if (m_body.size() - m_offset < 4)
            return false;
        value = BigEndian32(m_body.subspan(m_offset, 4));
        m_offset += 4;
        return true;
    }

private:
    std::span<const std::uint8_t> m_body;
    std::size_t m_offset = 0;
};

// What the elements offer, gathered before the final verdict: for every kind
// of security, whether it is offered with a shared secret and/or with 802.1X.
constexpr std::size_t kSecurityKinds = static_cast<std::size_t>(Security::Wpa3) + 1;

struct Draft {
    DecodedElements result;
    bool haveSsid = false;
    std::array<bool, kSecurityKinds> personal{};
    std::array<bool, kSecurityKinds> enterprise{};
    bool haveRsnOrWpa = false;
    bool oweTransition = false;
    std::uint16_t widthMhz = 20;

    void Offer(Security security, bool viaEnterprise)
    {
        (viaEnterprise ? enterprise : personal)[static_cast<std::size_t>(security)] = true;
    }
    void Width(std::uint16_t mhz) { widthMhz = std::max(widthMhz, mhz); }
};

// Suites are written OUI first, then the type: 00-0F-AC:2 is 0x000FAC02.
constexpr std::uint32_t kIeeeOui = 0x000FAC;
constexpr std::uint32_t kMicrosoftOui = 0x0050F2;
constexpr std::uint32_t kWfaOui = 0x506F9A;

constexpr std::uint32_t SuiteOf(std::uint32_t oui, std::uint8_t type)
{
    return oui << 8 | type;
}

// The key management suites we tell apart and what each one means. The RSN
// and WPA elements have tables of their own: each element names only its
// own suites, and a suite from the other family means nothing inside it.
struct AkmRule {
    std::uint32_t suite;
    Security security;
    bool enterprise;
};

constexpr AkmRule kRsnAkms[] = {
    {SuiteOf(kIeeeOui, 1), Security::Wpa2, true},   // 802.1X
    {SuiteOf(kIeeeOui, 2), Security::Wpa2, false},  // PSK
    {SuiteOf(kIeeeOui, 3), Security::Wpa2, true},   // FT over 802.1X
    {SuiteOf(kIeeeOui, 4), Security::Wpa2, false},  // FT with PSK
    {SuiteOf(kIeeeOui, 5), Security::Wpa2,
     true},  // 802.1X with SHA-256 (WPA3 when management frames must be protected)
    {SuiteOf(kIeeeOui, 6), Security::Wpa2, false},   // PSK with SHA-256
    {SuiteOf(kIeeeOui, 8), Security::Wpa3, false},   // SAE
    {SuiteOf(kIeeeOui, 9), Security::Wpa3, false},   // FT with SAE
    {SuiteOf(kIeeeOui, 11), Security::Wpa3, true},   // Suite B
    {SuiteOf(kIeeeOui, 12), Security::Wpa3, true},   // Suite B 192-bit
    {SuiteOf(kIeeeOui, 13), Security::Wpa3, true},   // FT over 802.1X with SHA-384
    {SuiteOf(kIeeeOui, 14), Security::Wpa2, true},   // FILS with SHA-256
    {SuiteOf(kIeeeOui, 15), Security::Wpa2, true},   // FILS with SHA-384
    {SuiteOf(kIeeeOui, 16), Security::Wpa2, true},   // FT over FILS with SHA-256
    {SuiteOf(kIeeeOui, 17), Security::Wpa2, true},   // FT over FILS with SHA-384
    {SuiteOf(kIeeeOui, 18), Security::Owe, false},   // OWE
    {SuiteOf(kIeeeOui, 24), Security::Wpa3, false},  // SAE with a group-dependent hash
    {SuiteOf(kIeeeOui, 25), Security::Wpa3, false},  // FT with SAE and a group-dependent hash
};

constexpr AkmRule kWpaAkms[] = {
    {SuiteOf(kMicrosoftOui, 1), Security::Wpa, true},   // WPA with 802.1X
    {SuiteOf(kMicrosoftOui, 2), Security::Wpa, false},  // WPA with PSK
};

constexpr std::uint16_t kRsnMfpRequired = 1u << 6;

// The RSN element and the WPA element (after its OUI and type) share one
// layout: version, group cipher, pairwise ciphers, AKM suites, capabilities.
// Every part after the version may be left off from the end; a missing AKM
// list means 802.1X. A body that ends inside a part says nothing about the
// AKMs beyond those read whole, and the network then counts as offering the
// element's basic kind (WPA2 for RSN, WPA for WPA).
void DecodeSuites(Draft& draft, std::span<const std::uint8_t> body, std::span<const AkmRule> akmRules,
                  std::uint32_t oui, Security basic)
{
    draft.haveRsnOrWpa = true;
    BodyReader reader(body);
    std::uint16_t version = 0;
    reader.Word(version);  // the table guarantees the two bytes
    std::uint16_t count = 0;
    std::uint32_t suite = 0;
    bool any = false;
    auto offer = [&](std::uint32_t akm, bool mfpRequired) {
        for (const AkmRule& rule : akmRules) {
            if (rule.suite != akm)
                continue;
            Security security = rule.security;
            if (akm == SuiteOf(kIeeeOui, 5) && mfpRequired)
                security = Security::Wpa3;
            draft.Offer(security, rule.enterprise);
            any = true;
        }
    };
    // Each optional part is either left off (the body ended before it) or
    // must be there whole.
    const auto defaultAkm = SuiteOf(oui, 1);
    if (reader.AtEnd()) {
        offer(defaultAkm, false);
        return;
    }
    if (!reader.Skip(4)) {  // group cipher
        draft.Offer(basic, false);
        return;
    }
    if (reader.AtEnd()) {
        offer(defaultAkm, false);
        return;
    }
    if (!reader.Word(count) || !reader.Skip(4u * count)) {  // pairwise ciphers
        draft.Offer(basic, false);
        return;
    }
    if (reader.AtEnd()) {
        offer(defaultAkm, false);
        return;
    }
    // Every suite the list holds counts, however long it is; the element's
    // length (at most 255 bytes) bounds it.
    std::vector<std::uint32_t> akms;
    bool whole = reader.Word(count);
    for (std::uint16_t i = 0; whole && i < count; ++i) {
        whole = reader.Suite(suite);
        if (whole)
            akms.push_back(suite);
    }
    std::uint16_t capabilities = 0;
    if (whole && !reader.AtEnd())
        reader.Word(capabilities);
    for (const std::uint32_t akm : akms)
        offer(akm, (capabilities & kRsnMfpRequired) != 0);
    if (!any)
        draft.Offer(basic, false);
}

// Only the first SSID element names the network. When it is longer than a
// name may be, the network has no name we can show: a later SSID element
// does not stand in for it.
void DecodeSsid(Draft& draft, std::span<const std::uint8_t> body)
{
    if (draft.haveSsid)
        return;
    draft.haveSsid = true;
    if (body.size() <= kMaxSsidLength)
        draft.result.ssid.assign(body.begin(), body.end());
}

void DecodeRsn(Draft& draft, std::span<const std::uint8_t> body)
{
    DecodeSuites(draft, body, kRsnAkms, kIeeeOui, Security::Wpa2);
}

void DecodeWpa(Draft& draft, std::span<const std::uint8_t> body)
{
    DecodeSuites(draft, body, kWpaAkms, kMicrosoftOui, Security::Wpa);
}

void DecodeWps(Draft& draft, std::span<const std::uint8_t>)
{
    draft.result.details.wps = true;
}

void DecodeOweTransition(Draft& draft, std::span<const std::uint8_t>)
{
    draft.oweTransition = true;
}

// HT operation: a secondary channel above or below, and any width allowed.
void DecodeHtOperation(Draft& draft, std::span<const std::uint8_t> body)
{
    const std::uint8_t info = body[1];
    const unsigned secondary = info & 0x03;
    if ((secondary == 1 || secondary == 3) && (info & 0x04) != 0)
        draft.Width(40);
}

// The VHT channel width field with its two centre frequency segments: 80 MHz,
// or 160 MHz when the second segment sits 8 channels from the first (or the
// segments lie apart, 80+80, counted as 160). The deprecated values 2 and 3
// say 160 and 80+80 directly.
void ApplyVhtWidth(Draft& draft, std::uint8_t width, std::uint8_t segment0, std::uint8_t segment1)
{
    if (width == 1) {
        const int apart = segment1 > segment0 ? segment1 - segment0 : segment0 - segment1;
        draft.Width(segment1 != 0 && apart >= 8 ? 160 : 80);
    } else if (width == 2 || width == 3) {
        draft.Width(160);
    }
}

void DecodeVhtOperation(Draft& draft, std::span<const std::uint8_t> body)
{
    ApplyVhtWidth(draft, body[0], body[1], body[2]);
}

// HE operation: parameters (3 bytes), BSS colour, basic MCS set, then the
// optional VHT operation information, co-hosted BSS indicator and 6 GHz
// operation information, each present when its parameter bit says so.
void DecodeHeOperation(Draft& draft, std::span<const std::uint8_t> body)
{
    const std::uint32_t parameters = body[0] | std::uint32_t{body[1]} << 8 | std::uint32_t{body[2]} << 16;
    BodyReader reader(body);
    reader.Skip(6);
    if (parameters & (1u << 14)) {
        std::uint8_t width = 0, segment0 = 0, segment1 = 0;
        if (!reader.Byte(width) || !reader.Byte(segment0) || !reader.Byte(segment1))
            return;
        ApplyVhtWidth(draft, width, segment0, segment1);
    }
    if ((parameters & (1u << 15)) && !reader.Skip(1))
        return;
    if (parameters & (1u << 17)) {
        std::uint8_t primary = 0, control = 0;
        if (!reader.Byte(primary) || !reader.Byte(control))
            return;
        constexpr std::uint16_t kWidths[] = {20, 40, 80, 160};
        draft.Width(kWidths[control & 0x03]);
    }
}

// EHT operation: parameters, basic MCS and NSS set, then the operation
// information (control, two centre segments) when parameter bit 0 is set.
void DecodeEhtOperation(Draft& draft, std::span<const std::uint8_t> body)
{
    if ((body[0] & 0x01) == 0)
        return;
    BodyReader reader(body);
    reader.Skip(5);
    std::uint8_t control = 0;
    if (!reader.Byte(control))
        return;
    constexpr std::uint16_t kWidths[] = {20, 40, 80, 160, 320};
    if ((control & 0x07) < std::size(kWidths))
        draft.Width(kWidths[control & 0x07]);
}

// How an element is found: by its id, by its extension id (id 255), or by
// OUI and type (vendor-specific, id 221).
enum class Kind : std::uint8_t { Plain, Extension, Vendor };

// One row per element the decoder reads. The bounds apply to the body the
// decoder gets, after the extension id or the OUI and type.
struct ElementRule {
    Kind kind;
    std::uint32_t key;  // id, extension id, or OUI << 8 | type
    std::size_t minLength;
    std::size_t maxLength;
    void (*decode)(Draft&, std::span<const std::uint8_t>);
};

constexpr ElementRule kElementRules[] = {
    {Kind::Plain, 0, 0, 255, DecodeSsid},                                 // SSID (the name's limit is DecodeSsid's)
    {Kind::Plain, 48, 2, 255, DecodeRsn},                                 // RSN
    {Kind::Plain, 61, 22, 255, DecodeHtOperation},                        // HT operation
    {Kind::Plain, 192, 5, 255, DecodeVhtOperation},                       // VHT operation
    {Kind::Extension, 36, 6, 254, DecodeHeOperation},                     // HE operation
    {Kind::Extension, 106, 5, 254, DecodeEhtOperation},                   // EHT operation
    {Kind::Vendor, SuiteOf(kMicrosoftOui, 1), 2, 251, DecodeWpa},         // WPA
    {Kind::Vendor, SuiteOf(kMicrosoftOui, 4), 0, 251, DecodeWps},         // WPS
    {Kind::Vendor, SuiteOf(kWfaOui, 0x1C), 7, 251, DecodeOweTransition},  // OWE transition
};

// Finds the row for one element and checks its body against the row's
// bounds. The one place where element lengths are judged for what a decoder
// may read (the SSID's 32-byte limit says what the name means, and is
// DecodeSsid's).
void Dispatch(Draft& draft, const Element& element)
{
    Kind kind = Kind::Plain;
    std::uint32_t key = element.id;
    std::span<const std::uint8_t> body = element.body;
    if (element.id == kExtensionElement) {
        if (body.empty())
            return;
        kind = Kind::Extension;
        key = body[0];
        body = body.subspan(1);
    } else if (element.id == kVendorElement) {
        if (body.size() < 4)
            return;
        kind = Kind::Vendor;
        key = BigEndian32(body);
        body = body.subspan(4);
    }
    for (const ElementRule& rule : kElementRules) {
        if (rule.kind != kind || rule.key != key)
            continue;
        if (body.size() >= rule.minLength && body.size() <= rule.maxLength)
            rule.decode(draft, body);
        return;
    }
}

// The verdict: the strongest kind offered, whether a weaker one is offered
// too, and whether the strongest goes through 802.1X. Without an RSN or WPA
// element the privacy bit tells WEP from open.
void Conclude(Draft& draft, bool privacy)
{
    BssDetails& details = draft.result.details;
    details.widthMhz = draft.widthMhz;
    if (!draft.haveRsnOrWpa) {
        details.security = privacy ? Security::Wep : Security::Open;
        return;
    }
    int kinds = 0;
    for (std::size_t i = 0; i < draft.personal.size(); ++i) {
        if (!draft.personal[i] && !draft.enterprise[i])
            continue;
        ++kinds;
        details.security = static_cast<Security>(i);
        details.enterprise = draft.enterprise[i];
    }
    // An OWE network named in an open network's transition element is the
    // encrypted half of a pair whose other half is open.
    details.transition = kinds > 1 || (details.security == Security::Owe && draft.oweTransition);
}

}  // namespace

std::vector<Element> SplitElements(std::span<const std::uint8_t> bytes)
{
    std::vector<Element> elements;
    std::size_t offset = 0;
    while (bytes.size() - offset >= 2) {
        const std::uint8_t id = bytes[offset];
        const std::size_t length = bytes[offset + 1];
        if (length > bytes.size() - offset - 2)
            break;
        elements.push_back({id, bytes.subspan(offset + 2, length)});
        offset += 2 + length;
    }
    return elements;
}

DecodedElements DecodeElements(std::span<const std::uint8_t> elements, bool privacy)
{
    Draft draft;
    for (const Element& element : SplitElements(elements))
        Dispatch(draft, element);
    Conclude(draft, privacy);
    return std::move(draft.result);
}

}  // namespace platform::nl80211
