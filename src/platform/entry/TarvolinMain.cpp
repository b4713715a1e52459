// The entry of `tarvolin`: the program on the machine's wireless adapters.
#include "platform/core/WinApp.h"
#include "platform/devices/WirelessProvider.h"

int main(int argc, char** argv)
{
    platform::InstallStopSignals();
    platform::SetWirelessProvider(platform::MakeNl80211Provider());
    return platform::AfxWinMain(argc, argv);
}
