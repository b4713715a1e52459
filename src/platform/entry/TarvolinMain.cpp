// The entry of `tarvolin`: the program on the machine's wireless adapters.
#include "platform/core/PixelZoom.h"
#include "platform/core/WinApp.h"
#include "platform/devices/WirelessProvider.h"
#include "platform/entry/CommandLine.h"

#include <cstdio>

namespace {

void Usage(FILE* out)
{
    std::fputs("Usage: tarvolin [--zoom N]\n"
               "\n"
               "Tarvolin lists the wireless networks this computer's Wi-Fi adapters hear,\n"
               "with their signal, channel and security, and keeps every network heard\n"
               "since it started. tarvolin-demo shows it on a simulated radio.\n",
               out);
    std::fputs(platform::entry::kSharedOptionsHelp, out);
}

}  // namespace

int main(int argc, char** argv)
{
    using platform::entry::ParseResult;
    platform::InstallStopSignals();
    platform::entry::SharedOptions options;
    for (int i = 1; i < argc; ++i) {
        switch (platform::entry::ParseSharedOption("tarvolin", argc, argv, i, options)) {
        case ParseResult::Taken: break;
        case ParseResult::HelpWanted: Usage(stdout); return 0;
        case ParseResult::VersionWanted: platform::entry::PrintVersion(stdout); return 0;
        case ParseResult::NotShared:
            std::fprintf(stderr, "tarvolin: unknown option '%s'\n\n", argv[i]);
            Usage(stderr);
            return 2;
        case ParseResult::Failed: return 2;
        }
    }
    platform::core::SetPixelZoom(options.zoom);
    platform::SetWirelessProvider(platform::MakeNl80211Provider());
    return platform::AfxWinMain(argc, argv);
}
