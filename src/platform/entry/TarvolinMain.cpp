// The entry of `tarvolin`: the program on the machine's wireless adapters.
#include "platform/core/WinApp.h"

#ifdef TARVOLIN_HAVE_DEVICES
#include "platform/devices/WirelessProvider.h"
#endif

int main(int argc, char** argv)
{
    platform::InstallStopSignals();
#ifdef TARVOLIN_HAVE_DEVICES
    platform::SetWirelessProvider(platform::MakeNl80211Provider());
#endif
    return platform::AfxWinMain(argc, argv);
}
