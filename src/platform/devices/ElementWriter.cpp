#include "platform/devices/ElementWriter.h"

#include <algorithm>
#include <initializer_list>

namespace platform {

namespace {

constexpr std::uint8_t kIeee[] = {0x00, 0x0F, 0xAC};
constexpr std::uint8_t kMicrosoft[] = {0x00, 0x50, 0xF2};
constexpr std::uint8_t kWfa[] = {0x50, 0x6F, 0x9A};
constexpr std::uint8_t kWfaOweTransition = 0x1C;

// The AKM suite types the elements name.
constexpr std::uint8_t kAkm8021X = 1, kAkmPsk = 2, kAkmSae = 8, kAkmSuiteB192 = 12, kAkmOwe = 18;
constexpr std::uint8_t kCipherTkip = 2, kCipherCcmp = 4;

class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : m_out(out) { }

    void Element(std::uint8_t id, std::initializer_list<std::uint8_t> body)
    {
        Element(id, std::vector<std::uint8_t>(body));
    }

    void Element(std::uint8_t id, const std::vector<std::uint8_t>& body)
    {
        m_out.push_back(id);
        m_out.push_back(static_cast<std::uint8_t>(body.size()));
        m_out.insert(m_out.end(), body.begin(), body.end());
    }

    // An RSN element (or the WPA vendor element's body after its OUI and
    // type): version 1, one group and one pairwise cipher, the AKM suites.
    void Suites(std::uint8_t id, std::initializer_list<std::uint8_t> prefix, const std::uint8_t (&oui)[3],
                std::uint8_t cipher, std::initializer_list<std::uint8_t> akms, bool capabilities)
    {
        std::vector<std::uint8_t> body(prefix);
        body.insert(body.end(), {0x01, 0x00, oui[0], oui[1], oui[2], cipher, 0x01, 0x00, oui[0], oui[1], oui[2], cipher,
                                 static_cast<std::uint8_t>(akms.size()), 0x00});
        for (const std::uint8_t akm : akms)
            body.insert(body.end(), {oui[0], oui[1], oui[2], akm});
        if (capabilities)
            body.insert(body.end(), {0x00, 0x00});
        Element(id, body);
    }

private:
    std::vector<std::uint8_t>& m_out;
};

std::uint8_t ChannelOf(std::uint32_t frequencyMhz)
{
    if (frequencyMhz == 2484)
        return 14;
    if (frequencyMhz < 3000)
        return static_cast<std::uint8_t>((frequencyMhz - 2407) / 5);
    if (frequencyMhz >= 5950)
        return static_cast<std::uint8_t>((frequencyMhz - 5950) / 5);
    return static_cast<std::uint8_t>((frequencyMhz - 5000) / 5);
}

// The centre channel of the block of the given width that holds the primary
// channel, as 5 and 6 GHz channel numbers count (channel blocks aligned to
// their width, numbered in 5 MHz steps).
std::uint8_t CentreOf(std::uint8_t primary, unsigned widthMhz, unsigned firstChannel)
{
    const unsigned span = widthMhz / 5;
    const unsigned start = primary >= firstChannel ? (primary - firstChannel) / span * span + firstChannel : primary;
    return static_cast<std::uint8_t>(start + (span - 4) / 2);
}

// The OWE transition element an OWE network in transition mode sends: it
// names the open network beside it, which a real access point runs on a
// second BSSID of the same radio (here the network's own with the locally
// administered bit flipped) under the same name.
void WriteOweTransition(Writer& writer, const WirelessBss& bss)
{
    std::vector<std::uint8_t> body = {kWfa[0], kWfa[1], kWfa[2], kWfaOweTransition};
    body.insert(body.end(), bss.bssid.begin(), bss.bssid.end());
    body[4] ^= 0x02;
    const std::size_t length = std::min<std::size_t>(bss.ssid.size(), 32);
    body.push_back(static_cast<std::uint8_t>(length));
    body.insert(body.end(), bss.ssid.begin(), bss.ssid.begin() + static_cast<std::ptrdiff_t>(length));
    writer.Element(221, body);
}

void WriteSecurity(Writer& writer, const WirelessBss& bss)
{
    const BssDetails& details = bss.details;
    const bool enterprise = details.enterprise;
    switch (details.security) {
    case Security::Open:
    case Security::Wep: break;
    case Security::Wpa:
        writer.Suites(221, {kMicrosoft[0], kMicrosoft[1], kMicrosoft[2], 0x01}, kMicrosoft, kCipherTkip,
                      {enterprise ? kAkm8021X : kAkmPsk}, false);
        break;
    case Security::Owe:
        writer.Suites(48, {}, kIeee, kCipherCcmp, {kAkmOwe}, true);
        if (details.transition)
            WriteOweTransition(writer, bss);
        break;
    case Security::Wpa2:
        writer.Suites(48, {}, kIeee, kCipherCcmp, {enterprise ? kAkm8021X : kAkmPsk}, true);
        if (details.transition)
            writer.Suites(221, {kMicrosoft[0], kMicrosoft[1], kMicrosoft[2], 0x01}, kMicrosoft, kCipherTkip,
                          {enterprise ? kAkm8021X : kAkmPsk}, false);
        break;
    case Security::Wpa3:
        if (details.transition)
            writer.Suites(48, {}, kIeee, kCipherCcmp,
                          {enterprise ? kAkm8021X : kAkmPsk, enterprise ? kAkmSuiteB192 : kAkmSae}, true);
        else
            writer.Suites(48, {}, kIeee, kCipherCcmp, {enterprise ? kAkmSuiteB192 : kAkmSae}, true);
        break;
    }
}

void WriteWidth(Writer& writer, std::uint32_t frequencyMhz, unsigned widthMhz)
{
    if (widthMhz <= 20 || frequencyMhz == 0)
        return;
    const std::uint8_t primary = ChannelOf(frequencyMhz);
    // HT operation: primary channel, then the secondary channel above (or
    // below, for the upper half of a pair) with any width allowed.
    const bool upperHalf = frequencyMhz >= 3000 ? ((primary / 4) % 2) == 0 : primary > 7;
    std::vector<std::uint8_t> ht(22, 0);
    ht[0] = primary;
    ht[1] = static_cast<std::uint8_t>((upperHalf ? 3 : 1) | 0x04);
    writer.Element(61, ht);
    if (widthMhz <= 40)
        return;
    // VHT operation: 80 MHz with the first centre segment; 160 MHz adds the
    // second segment, 8 channels from the first.
    const unsigned first = frequencyMhz >= 5950 ? 1 : 36;
    const std::uint8_t centre80 = CentreOf(primary, 80, first);
    const std::uint8_t centre160 = widthMhz >= 160 ? CentreOf(primary, 160, first) : 0;
    writer.Element(192, {0x01, centre80, centre160, 0xFC, 0xFF});
    if (widthMhz <= 160)
        return;
    // EHT operation with its operation information: 320 MHz.
    writer.Element(255, {106, 0x01, 0xFC, 0xFF, 0xFF, 0xFF, 0x04, centre80, CentreOf(primary, 320, first)});
}

}  // namespace

std::vector<std::uint8_t> WriteElements(const WirelessBss& bss)
{
    std::vector<std::uint8_t> out;
    out.reserve(96);
    out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(std::min<std::size_t>(bss.ssid.size(), 32)));
    out.insert(out.end(), bss.ssid.begin(), bss.ssid.begin() + out.back());
    Writer writer(out);
    WriteSecurity(writer, bss);
    WriteWidth(writer, bss.frequencyMhz, bss.details.widthMhz);
    if (bss.details.wps)
        writer.Element(221, {kMicrosoft[0], kMicrosoft[1], kMicrosoft[2], 0x04});
    return out;
}

}  // namespace platform
