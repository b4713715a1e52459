// The makers of network hardware by the first three bytes of its MAC address
// (the OUI), from the IEEE registry as Debian's ieee-data package installs it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class OuiRegistry {
public:
    // Where ieee-data keeps the MA-L (24-bit OUI) assignments.
    static constexpr const char* kSystemPath = "/usr/share/ieee-data/oui.txt";

    // Reads the registry's text form, whose "XXXXXX (base 16) NAME" lines
    // name each assignment; every other line is ignored. A file that cannot be
    // read gives an empty registry: no maker is known, nothing fails.
    static OuiRegistry FromFile(const std::string& path);
    static OuiRegistry FromText(std::string_view text);

    // The registry at kSystemPath, read once, on the first call.
    static const OuiRegistry& System();

    // The maker of the device with this MAC; empty when the OUI is not
    // assigned, or the address is locally administered or a group address,
    // which carry no OUI.
    std::string_view Find(const std::array<std::uint8_t, 6>& mac) const;

    std::size_t Size() const { return m_entries.size(); }

private:
    struct Entry {
        std::uint32_t oui;
        std::uint32_t offset;  // of the name in m_names
        std::uint32_t length;
    };
    std::vector<Entry> m_entries;  // sorted by OUI
    std::string m_names;
};

}  // namespace platform
