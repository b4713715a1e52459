// tarvolin-scan: the scanning engine on the command line, for people and scripts.
//
//   tarvolin-scan                                  lists the wireless adapters
//   tarvolin-scan [--trigger] [--wait MS] ADAPTER  lists the networks ADAPTER holds
//
// Everything goes through CWifiTarv, exactly as in the program, so what this
// prints is what the program's list shows.
#include "platform/Text.h"
#include "platform/devices/Devices.h"
#include "platform/devices/SimulatedProvider.h"
#include "platform/devices/WirelessProvider.h"
#include "scan/WifiTarv.h"
#include "tools/tarvolin-scan/ScanOutput.h"

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>

namespace {

constexpr const char* kUsage =
    "Usage: tarvolin-scan [--scenario FILE]\n"
    "       tarvolin-scan [--scenario FILE] [--trigger] [--wait MS] ADAPTER\n"
    "\n"
    "Without ADAPTER, lists the wireless adapters, one per line.\n"
    "With ADAPTER, prints the networks the adapter currently holds, one per line,\n"
    "tab-separated: MAC (aa:bb:cc:dd:ee:ff), channel, signal in dBm, mode (AP, PEER\n"
    "or ?), privacy (secured or open), and the name in UTF-8 with control\n"
    "characters written as \\xNN.\n"
    "\n"
    "Options:\n"
    "  --trigger        ask the adapter for a new scan before reading\n"
    "  --wait MS        wait MS milliseconds before reading (default 0)\n"
    "  --scenario FILE  answer from a simulated radio described by FILE instead of\n"
    "                   the kernel's nl80211; each --trigger moves it one step on\n"
    "  --help           show this text\n"
    "\n"
    "Starting a scan needs NetworkManager running (it starts scans for ordinary\n"
    "users) or the network administration capability, granted once with:\n"
    "  sudo setcap cap_net_admin+ep \"$(command -v tarvolin-scan)\"\n"
    "Reading what the adapter holds needs no privilege.\n"
    "Exit status: 0 on success, 1 when the scan fails, 2 for a usage error.\n";

constexpr int kFailed = 1;
constexpr int kUsageError = 2;
constexpr unsigned long kMaxWaitMs = 600000;

struct Options {
    std::string scenario;
    std::string adapter;
    bool haveAdapter = false;
    bool trigger = false;
    unsigned long waitMs = 0;
};

int Fail(const std::string& message)
{
    std::fprintf(stderr, "tarvolin-scan: %s\n", message.c_str());
    return kFailed;
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "tarvolin-scan: %s (see --help)\n", message.c_str());
    return kUsageError;
}

// Returns -1 when the options are good, otherwise the exit status.
int ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--trigger") {
            options.trigger = true;
        } else if (argument == "--wait" || argument == "--scenario") {
            if (i + 1 >= argc)
                return UsageError(std::string(argument) + " needs a value");
            const std::string_view value = argv[++i];
            if (argument == "--scenario") {
                options.scenario = value;
                continue;
            }
            const auto result = std::from_chars(value.data(), value.data() + value.size(), options.waitMs);
            if (result.ec != std::errc() || result.ptr != value.data() + value.size() || options.waitMs > kMaxWaitMs)
                return UsageError("--wait takes milliseconds from 0 to " + std::to_string(kMaxWaitMs));
        } else if (argument.starts_with("-") && argument != "-") {
            return UsageError("unknown option " + std::string(argument));
        } else if (options.haveAdapter) {
            return UsageError("only one adapter may be named");
        } else {
            options.adapter = argument;
            options.haveAdapter = true;
        }
    }
    return -1;
}

std::string ErrorText(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return "no such interface";
    case ERROR_ACCESS_DENIED:
        return "permission denied";
    case ERROR_NOT_SUPPORTED:
        return "not supported by this interface";
    case ERROR_NOT_READY:
        return "the interface is down";
    case ERROR_BUSY:
        return "the interface is busy";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "out of memory";
    default:
        return "error " + std::to_string(error);
    }
}

std::string PermissionAdvice(const std::string& adapter)
{
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    const std::string self = length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "tarvolin-scan";
    return "no permission to start a scan on " + adapter +
           ": run NetworkManager (it scans for ordinary users), or allow this program with: sudo setcap "
           "cap_net_admin+ep " + self;
}

bool InstallProvider(const Options& options, std::string& error)
{
    if (!options.scenario.empty()) {
        auto provider = platform::MakeSimulatedProvider(options.scenario, error);
        platform::SetWirelessProvider(provider);
        return provider != nullptr;
    }
#ifdef TARVOLIN_HAVE_NL80211
    platform::SetWirelessProvider(platform::MakeNl80211Provider());
    return true;
#else
    error = "this build has no nl80211 support; use --scenario FILE";
    return false;
#endif
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

int ListNetworks(CWifiTarv& wifi, const Options& options)
{
    const std::u16string adapter = platform::Utf8ToUtf16(options.adapter);
    SetLastError(ERROR_SUCCESS);
    if (!wifi.IsWireless(adapter.c_str())) {
        const DWORD error = GetLastError();
        if (error == ERROR_SUCCESS)
            return Fail(options.adapter + " is not a wireless adapter");
        if (error == ERROR_FILE_NOT_FOUND)
            return Fail("no such adapter: " + options.adapter);
        return Fail("cannot query " + options.adapter + ": " + ErrorText(error));
    }
    if (options.trigger && !wifi.RefreshBSSIDs(adapter.c_str())) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED)
            return Fail(PermissionAdvice(options.adapter));
        // A scan already under way serves as well as a new one.
        if (error != ERROR_BUSY)
            return Fail("cannot start a scan on " + options.adapter + ": " + ErrorText(error));
    }
    if (options.waitMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(options.waitMs));

    static ScanEntry entries[128];
    DWORD count = 0;
    if (!wifi.GetBSSIDs(adapter.c_str(), entries, 128, &count)) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED)
            return Fail("no permission to read the networks of " + options.adapter);
        return Fail("cannot read the networks of " + options.adapter + ": " + ErrorText(error));
    }
    for (DWORD i = 0; i < count; ++i)
        std::printf("%s\n", FormatScanEntry(entries[i]).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (const int status = ParseOptions(argc, argv, options); status >= 0)
        return status;
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
