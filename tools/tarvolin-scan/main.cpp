// tarvolin-scan: the scanning engine on the command line, for people and scripts.
//
//   tarvolin-scan                                  lists the wireless adapters
//   tarvolin-scan [--trigger] [--wait MS] ADAPTER  lists the networks ADAPTER holds,
//                                                  after a scan it waits for
//   tarvolin-scan --json ADAPTER                   the same as JSON Lines, with details
//   tarvolin-scan --watch [--log FILE.csv] ADAPTER reports changes until Ctrl-C
//   tarvolin-scan --follow BSSID ADAPTER           one network's signal, scan by scan
//
// The adapter list, the scan requests and the tab-separated list go through
// CWifiTarv, exactly as in the program, so what they print is what the
// program's list shows. The details the program's record cannot carry
// (security suites, width, vendor) come from the provider's own records.
#include "platform/Text.h"
#include "platform/devices/Devices.h"
#include "platform/devices/OuiRegistry.h"
#include "platform/devices/SimulatedProvider.h"
#include "platform/devices/WirelessProvider.h"
#include "scan/WifiTarv.h"
#include "tools/tarvolin-scan/FollowMode.h"
#include "tools/tarvolin-scan/JsonOutput.h"
#include "tools/tarvolin-scan/Options.h"
#include "tools/tarvolin-scan/ScanOutput.h"
#include "tools/tarvolin-scan/Scanning.h"
#include "tools/tarvolin-scan/WatchMode.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>

namespace {

// A sweep of every channel of every band takes a few seconds on real radios.
constexpr unsigned long kDefaultScanWaitMs = 30000;

// The most networks one list takes, as many as the program's window reads.
constexpr DWORD kScanCapacity = 128;

bool InstallProvider(const Options& options, std::string& error)
{
    if (!options.scenario.empty()) {
        auto provider = platform::MakeSimulatedProvider(options.scenario, error);
        platform::SetWirelessProvider(provider);
        return provider != nullptr;
    }
    platform::SetWirelessProvider(platform::MakeNl80211Provider());
    return true;
}

int ListAdapters(CWifiTarv& wifi)
{
    WCHAR names[CWifiTarv::kAdapterNamesBufferSize / sizeof(WCHAR)] = {};
    DWORD length = sizeof(names);
    SetLastError(ERROR_SUCCESS);
    if (!wifi.GetAdapters(names, &length))
        return Fail("cannot list the network adapters: " + ErrorText(GetLastError()));
    if (length == 0)
        return Fail("no wireless adapter found");
    std::string text = platform::Utf16ToUtf8(std::u16string_view(names, length / sizeof(WCHAR)));
    for (char& c : text) {
        if (c == ',')
            c = '\n';
    }
    std::printf("%s\n", text.c_str());
    return 0;
}

int PrintEntries(CWifiTarv& wifi, const Options& options)
{
    const std::u16string adapter = platform::BytesToUtf16(options.adapter);
    static ScanEntry entries[kScanCapacity];
    DWORD count = 0;
    if (!wifi.GetBSSIDs(adapter.c_str(), entries, kScanCapacity, &count)) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED)
            return Fail("no permission to read the networks of " + options.adapter);
        return Fail("cannot read the networks of " + options.adapter + ": " + ErrorText(error));
    }
    // The names as sent, which the engine's record cuts at a NUL.
    std::vector<platform::WirelessBss> records;
    if (const auto provider = platform::GetWirelessProvider())
        provider->ReadScan(options.adapter, records);
    for (DWORD i = 0; i < count; ++i)
        std::printf("%s\n", FormatScanEntry(entries[i], records).c_str());
    return 0;
}

int PrintJson(const Options& options)
{
    std::vector<platform::WirelessBss> networks;
    if (const auto failed = ReadNetworks(options.adapter, networks))
        return *failed;
    const platform::OuiRegistry& registry = platform::OuiRegistry::System();
    for (const platform::WirelessBss& bss : networks)
        std::printf("%s\n", JsonLine(NetworkJson(DescribeNetwork(bss, registry))).c_str());
    return 0;
}

int ListNetworks(CWifiTarv& wifi, const Options& options)
{
    if (const auto failed = CheckAdapter(wifi, options.adapter))
        return *failed;
    if (options.watch)
        return RunWatch(wifi, options);
    if (options.follow)
        return RunFollow(wifi, options);
    if (options.trigger) {
        // One deadline for the request and the wait for its scan.
        const unsigned long capMs = options.waitMs.value_or(kDefaultScanWaitMs);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(capMs);
        if (const auto ended = TellOutcome(RequestScan(wifi, options.adapter, 0, deadline), options.adapter, capMs))
            return *ended;
    } else if (options.waitMs.value_or(0) > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(*options.waitMs));
    }
    return options.json ? PrintJson(options) : PrintEntries(wifi, options);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (const auto status = ParseOptions(argc, argv, options))
        return *status;
    std::string error;
    if (!InstallProvider(options, error))
        return Fail(error);

    int status = 0;
    {
        CWifiTarv wifi;
        SetLastError(ERROR_SUCCESS);
        if (!wifi.OpenDriver())
            status = Fail("no wireless driver: " + ErrorText(GetLastError()));
        else if (!options.haveAdapter)
            status = ListAdapters(wifi);
        else
            status = ListNetworks(wifi, options);
    }
    platform::SetWirelessProvider(nullptr);
    if (std::fflush(stdout) != 0)
        return Fail("cannot write the output");
    return status;
}
