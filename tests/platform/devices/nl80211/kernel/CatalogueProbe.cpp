// The program's own scan engine and catalogue on the real radio: runs the
// scan tick (read the BSSID list, merge it into the catalogue, ask for the
// next scan) a number of times, once a second, then prints every record of
// the catalogue, one line each:
//
//   catalogue-probe IFACE TICKS
//   BSSID<TAB>MHz<TAB>channel<TAB>width MHz<TAB>security<TAB>enterprise 0|1<TAB>privacy 0|1<TAB>SSID (UTF-8)
//
// security is the record's strongest protection by the platform's name for
// it (open, wep, wpa, owe, wpa2, wpa3).
#include "catalogue/ApList.h"
#include "platform/Text.h"
#include "platform/devices/BssDetails.h"
#include "platform/devices/WirelessProvider.h"
#include "scan/WifiTarv.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

CSettings g_settings;
CLanguage g_language;
CApList g_apList;

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: catalogue-probe IFACE TICKS\n");
        return 2;
    }
    platform::SetWirelessProvider(platform::MakeNl80211Provider());
    g_settings.SetValue(SettingSoundOff, 1);
    const std::string name = argv[1];
    const std::u16string adapter(name.begin(), name.end());
    const int ticks = std::atoi(argv[2]);

    CWifiTarv wifi;
    constexpr int kCapacity = 128;
    for (int tick = 0; tick < ticks; ++tick) {
        ScanEntry entries[kCapacity];
        DWORD count = 0;
        if (wifi.GetBSSIDs(adapter.c_str(), entries, kCapacity, &count) && count > 0)
            g_apList.Merge(entries, static_cast<int>(count));
        wifi.RefreshBSSIDs(adapter.c_str());
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }

    ApRecord record{};
    for (LONG number = 0; g_apList.GetByNumber(number, record); ++number) {
        std::u16string ssid;
        for (WCHAR c : record.ssid) {
            if (c == 0)
                break;
            ssid.push_back(c);
        }
        const std::string_view security = platform::SecurityName(static_cast<platform::Security>(record.security));
        std::printf("%02x:%02x:%02x:%02x:%02x:%02x\t%lu\t%lu\t%lu\t%.*s\t%d\t%d\t%s\n", record.mac[0], record.mac[1],
                    record.mac[2], record.mac[3], record.mac[4], record.mac[5],
                    static_cast<unsigned long>(record.frequency), static_cast<unsigned long>(record.channel),
                    static_cast<unsigned long>(record.width), static_cast<int>(security.size()), security.data(),
                    record.enterprise, record.privacy != 0 ? 1 : 0, platform::Utf16ToUtf8(ssid).c_str());
    }
    return 0;
}
