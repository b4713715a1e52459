// Asks the nl80211 provider directly and prints its answers, one line each,
// for the virtual machine test to check without the device layer in between.
//
//   nl80211-probe list              NAME<TAB>wireless|wired, every interface
//   nl80211-probe trigger IFACE     starts a scan, waits until it completes
//                                   and prints "completed in MS ms at=BOOTMS"
//   nl80211-probe wait IFACE        waits for the next scan (whoever started
//                                   it) to complete; prints the same, MS
//                                   counted from the start of the wait, then
//                                   the read-out as read prints it
//   nl80211-probe read IFACE        BSSID<TAB>MHz<TAB>dBm<TAB>mode<TAB>privacy<TAB>beacon TU<TAB>SSID<TAB>elements
//                                   (the information elements in hex, for the decoder tests' table)
//   nl80211-probe follow IFACE SSID MARKFILE SECONDS
//                                   does what the program's scan tick does at
//                                   its fastest speed (every 500 ms: read,
//                                   then ask for a scan) and prints when the
//                                   network SSID enters or leaves the
//                                   read-out, and when MARKFILE changes
//                                   (the test writes "on|off UPTIME" there
//                                   as it switches the network), each with
//                                   the boot-time milliseconds and the number
//                                   of completed scans so far
//
// Failures print "error N" (the Win32 code) on stderr and exit with 1.
#include "platform/devices/WirelessBasics.h"
#include "platform/devices/WirelessProvider.h"
#include "platform/devices/nl80211/ScanEventMonitor.h"

#include <net/if.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

int Fail(DWORD code)
{
    std::fprintf(stderr, "error %u\n", static_cast<unsigned>(code));
    return 1;
}

// SSID bytes as printable text: printable ASCII as is, every other byte \xNN.
std::string Escape(const std::vector<std::uint8_t>& bytes)
{
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

using platform::BoottimeNowNs;
using platform::nl80211::ScanEventMonitor;

constexpr unsigned kScanWaitMs = 120000;

long long NowMs()
{
    return static_cast<long long>(BoottimeNowNs() / 1000000);
}

int WaitAndReport(platform::WirelessProvider& provider, const std::string& name, long long since)
{
    std::string why;
    if (DWORD code = provider.WaitForScan(name, kScanWaitMs, why); code != ERROR_SUCCESS) {
        if (!why.empty())
            std::fprintf(stderr, "%s\n", why.c_str());
        return Fail(code);
    }
    const long long now = NowMs();
    std::printf("completed in %lld ms at=%lld\n", now - since, now);
    return 0;
}

bool Present(platform::WirelessProvider& provider, const std::string& name, const std::string& ssid)
{
    std::vector<platform::WirelessBss> networks;
    if (provider.ReadScan(name, networks) != ERROR_SUCCESS)
        return false;
    for (const auto& bss : networks) {
        if (std::string(bss.ssid.begin(), bss.ssid.end()) == ssid)
            return true;
    }
    return false;
}

std::string ReadMark(const std::string& path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

int Follow(platform::WirelessProvider& provider, const std::string& name, const std::string& ssid,
           const std::string& markFile, int seconds)
{
    ScanEventMonitor events;
    const unsigned index = if_nametoindex(name.c_str());
    const long long end = NowMs() + seconds * 1000LL;
    bool present = false;
    std::string mark;
    auto next = std::chrono::steady_clock::now();
    while (NowMs() < end) {
        const bool now = Present(provider, name, ssid);
        const auto scans = events.Snapshot(index).completed;
        if (now != present) {
            std::printf("%s at=%lld scans=%llu\n", now ? "appeared" : "left", NowMs(),
                        static_cast<unsigned long long>(scans));
            present = now;
        }
        if (const std::string current = ReadMark(markFile); current != mark && !current.empty()) {
            // "on 12.34": the uptime (boot-time seconds) at which it was switched.
            std::istringstream words(current);
            std::string state;
            double uptime = 0;
            words >> state >> uptime;
            std::printf("%s at=%lld scans=%llu\n", state.c_str(), static_cast<long long>(uptime * 1000),
                        static_cast<unsigned long long>(scans));
            mark = current;
        }
        std::fflush(stdout);
        provider.TriggerScan(name);
        next += std::chrono::milliseconds(500);
        std::this_thread::sleep_until(next);
    }
    return 0;
}

int PrintReadOut(platform::WirelessProvider& provider, const std::string& name)
{
    std::vector<platform::WirelessBss> networks;
    if (DWORD code = provider.ReadScan(name, networks); code != ERROR_SUCCESS)
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

}  // namespace

int main(int argc, char** argv)
{
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
        const long long since = NowMs();
        if (DWORD code = provider->TriggerScan(argv[2]); code != ERROR_SUCCESS)
            return Fail(code);
        return WaitAndReport(*provider, argv[2], since);
    }
    if (command == "wait" && argc == 3) {
        if (const int status = WaitAndReport(*provider, argv[2], NowMs()); status != 0)
            return status;
        return PrintReadOut(*provider, argv[2]);
    }
    if (command == "follow" && argc == 6)
        return Follow(*provider, argv[2], argv[3], argv[4], std::atoi(argv[5]));
    if (command == "read" && argc == 3)
        return PrintReadOut(*provider, argv[2]);
    std::fprintf(
        stderr,
        "usage: nl80211-probe list | trigger IFACE | wait IFACE | read IFACE | follow IFACE SSID MARKFILE SECONDS\n");
    return 2;
}
