// The steps every mode of tarvolin-scan shares: checking the adapter, starting
// a scan and reading what the adapter holds, with the messages for failures.
#pragma once

#include "platform/devices/WirelessProvider.h"
#include "scan/WifiTarv.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// Writes "tarvolin-scan: MESSAGE" to stderr and returns kFailed.
int Fail(const std::string& message);

std::string ErrorText(DWORD error);

// Returns nothing when the adapter is a wireless one, otherwise (after a
// message) the exit status.
std::optional<int> CheckAdapter(CWifiTarv& wifi, const std::string& adapter);

// Asks for a new scan through the engine, as the program does: of every
// channel, or with a frequency (MHz) of that channel alone. A scan already
// under way serves as well as a new one. Returns nothing on success,
// otherwise (after a message) the exit status.
std::optional<int> StartScan(CWifiTarv& wifi, const std::string& adapter, ULONG frequencyMhz = 0);

// Waits for the scan StartScan asked for to complete, until the deadline
// (capMs after the request began, for the message); a scan that could not be
// started without privilege is reported here, in one line with the reason
// and how to allow it. When no scan completed by the deadline it says so and
// returns kTimedOut; an aborted scan gets a warning. Returns nothing to go on
// and read, otherwise (after a message) the exit status.
std::optional<int> AwaitScan(const std::string& adapter, std::chrono::steady_clock::time_point deadline,
                             unsigned long capMs);
// The networks the adapter holds with everything the provider knows of them,
// strongest first. Returns nothing on success, otherwise (after a message)
// the exit status.
std::optional<int> ReadNetworks(const std::string& adapter, std::vector<platform::WirelessBss>& networks);
