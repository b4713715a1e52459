#include "tools/tarvolin-scan/ScanOutput.h"

#include "platform/Text.h"

#include <cstdio>
#include <string_view>

namespace {

std::string FormatMac(const BYTE (&mac)[6])
{
    char text[18];
    std::snprintf(text, sizeof(text), "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return text;
}

const char* ModeName(ULONG infrastructureMode)
{
    switch (infrastructureMode) {
    case 0:
        return "PEER";
    case 1:
        return "AP";
    default:
        return "?";
    }
}

// The name ends at its first NUL or after all 32 code units.
std::string SsidText(const WCHAR (&ssid)[32])
{
    std::size_t length = 0;
    while (length < 32 && ssid[length] != 0)
        ++length;
    const std::string utf8 = platform::Utf16ToUtf8(std::u16string_view(ssid, length));
    std::string text;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof(escaped), "\\x%02x", byte);
            text += escaped;
        } else {
            text.push_back(c);
        }
    }
    return text;
}

}  // namespace

std::string FormatScanEntry(const ScanEntry& entry)
{
    return FormatMac(entry.mac) + '\t' + std::to_string(entry.channel) + '\t' + std::to_string(entry.rssi) + '\t' +
           ModeName(entry.infrastructureMode) + '\t' + (entry.privacy != 0 ? "secured" : "open") + '\t' +
           SsidText(entry.ssid);
}
