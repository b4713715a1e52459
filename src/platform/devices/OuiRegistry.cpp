#include "platform/devices/OuiRegistry.h"

#include "platform/Text.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace platform {

namespace {

constexpr std::string_view kBase16 = "(base 16)";
constexpr std::uint8_t kGroupBit = 0x01;
constexpr std::uint8_t kLocalBit = 0x02;

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The OUI of an assignment line ("3CA62F     (base 16)\t\tAVM ..."), or -1.
long ParseOui(std::string_view line)
{
    if (line.size() < 6)
        return -1;
    long oui = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        const int digit = HexDigit(line[i]);
        if (digit < 0)
            return -1;
        oui = oui * 16 + digit;
    }
    return oui;
}

}  // namespace

OuiRegistry OuiRegistry::FromFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {};
    std::ostringstream text;
    text << file.rdbuf();
    return FromText(text.str());
}

OuiRegistry OuiRegistry::FromText(std::string_view text)
{
    OuiRegistry registry;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t marker = line.find(kBase16);
        const long oui = ParseOui(line);
        if (marker == std::string_view::npos || oui < 0 || !Trim(line.substr(6, marker - 6)).empty())
            continue;
        const std::string_view name = Trim(line.substr(marker + kBase16.size()));
        if (name.empty())
            continue;
        registry.m_entries.push_back({static_cast<std::uint32_t>(oui),
                                      static_cast<std::uint32_t>(registry.m_names.size()),
                                      static_cast<std::uint32_t>(name.size())});
        registry.m_names += name;
    }
    // The registry lists assignments in no particular order; the first of
    // two lines for one OUI wins.
    std::stable_sort(registry.m_entries.begin(), registry.m_entries.end(),
                     [](const Entry& a, const Entry& b) { return a.oui < b.oui; });
    const auto last = std::unique(registry.m_entries.begin(), registry.m_entries.end(),
                                  [](const Entry& a, const Entry& b) { return a.oui == b.oui; });
    registry.m_entries.erase(last, registry.m_entries.end());
    return registry;
}

const OuiRegistry& OuiRegistry::System()
{
    static const OuiRegistry registry = FromFile(kSystemPath);
    return registry;
}

std::string_view OuiRegistry::Find(const std::array<std::uint8_t, 6>& mac) const
{
    if (mac[0] & (kGroupBit | kLocalBit))
        return {};
    const std::uint32_t oui = static_cast<std::uint32_t>(mac[0] << 16 | mac[1] << 8 | mac[2]);
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), oui,
                                     [](const Entry& entry, std::uint32_t key) { return entry.oui < key; });
    if (it == m_entries.end() || it->oui != oui)
        return {};
    return std::string_view(m_names).substr(it->offset, it->length);
}

}  // namespace platform
