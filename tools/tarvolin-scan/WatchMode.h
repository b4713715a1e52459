// tarvolin-scan --watch: scans until interrupted (or for --count scans) and
// reports what changes, as text or JSON Lines, keeping the --log table. Each
// scan is read as it ends, and scans start no closer together than
// --interval; without permission to start scans, the scans others start are
// read, each as it ends.
#pragma once

#include "scan/WifiTarv.h"
#include "tools/tarvolin-scan/Options.h"

// Returns the exit status: 0 when ended by Ctrl-C (SIGINT), SIGTERM or
// --count, kFailed when reading fails or the log cannot be written.
int RunWatch(CWifiTarv& wifi, const Options& options);
