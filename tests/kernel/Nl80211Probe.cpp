// Asks the nl80211 provider directly and prints its answers, one line each,
// for the virtual machine test to check without the device layer in between.
//
//   nl80211-probe list              NAME<TAB>wireless|wired, every interface
//   nl80211-probe trigger IFACE     starts a scan
//   nl80211-probe read IFACE        BSSID<TAB>MHz<TAB>dBm<TAB>mode<TAB>privacy<TAB>beacon TU<TAB>SSID<TAB>elements
//                                   (the information elements in hex, for the decoder tests' table)
//
// Failures print "error N" (the Win32 code) on stderr and exit with 1.
#include "platform/devices/WirelessProvider.h"

#include <cstdio>
#include <string>

namespace {

int Fail(DWORD code) {
    std::fprintf(stderr, "error %u\n", static_cast<unsigned>(code));
    return 1;
}

// SSID bytes as printable text: printable ASCII as is, every other byte \xNN.
std::string Escape(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
        }
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    auto provider = platform::MakeNl80211Provider();
    if (command == "list" && argc == 2) {
        std::vector<std::string> names;
        if (DWORD code = provider->ListInterfaces(names); code != ERROR_SUCCESS)
            return Fail(code);
        for (const std::string& name : names) {
            bool wireless = false;
            if (DWORD code = provider->IsWireless(name, wireless); code != ERROR_SUCCESS)
                return Fail(code);
            std::printf("%s\t%s\n", name.c_str(), wireless ? "wireless" : "wired");
        }
        return 0;
    }
    if (command == "trigger" && argc == 3) {
        if (DWORD code = provider->TriggerScan(argv[2]); code != ERROR_SUCCESS)
            return Fail(code);
        return 0;
    }
    if (command == "read" && argc == 3) {
        std::vector<platform::WirelessBss> networks;
        if (DWORD code = provider->ReadScan(argv[2], networks); code != ERROR_SUCCESS)
            return Fail(code);
        for (const auto& bss : networks) {
            const auto& m = bss.bssid;
            std::string elements;
            for (std::uint8_t byte : bss.elements) {
                char hex[3];
                std::snprintf(hex, sizeof hex, "%02x", byte);
                elements += hex;
            }
            std::printf("%02x:%02x:%02x:%02x:%02x:%02x\t%u\t%d\t%u\t%d\t%u\t%s\t%s\n", m[0], m[1], m[2], m[3], m[4], m[5],
                        static_cast<unsigned>(bss.frequencyMhz), static_cast<int>(bss.rssiDbm),
                        static_cast<unsigned>(bss.infrastructureMode), bss.privacy ? 1 : 0,
                        static_cast<unsigned>(bss.beaconPeriod), Escape(bss.ssid).c_str(), elements.c_str());
        }
        return 0;
    }
    std::fprintf(stderr, "usage: nl80211-probe list | trigger IFACE | read IFACE\n");
    return 2;
}
