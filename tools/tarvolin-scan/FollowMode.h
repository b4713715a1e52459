// tarvolin-scan --follow: one network's signal, read from scans of its
// channel alone, one line per scan.
#pragma once

#include "scan/WifiTarv.h"
#include "tools/tarvolin-scan/Options.h"

// Finds the network where the adapter last heard it, or else in a scan of
// every channel, then scans its frequency alone, one scan after another,
// until Ctrl-C or --count scans; where the adapter refuses a scan of that
// frequency alone, sweeps of every channel serve instead. Returns the exit
// status.
int RunFollow(CWifiTarv& wifi, const Options& options);
