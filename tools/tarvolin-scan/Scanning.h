// The steps every mode of tarvolin-scan shares: checking the adapter, starting
// a scan and reading what the adapter holds, with the messages for failures.
#pragma once

#include "platform/devices/WirelessProvider.h"
#include "scan/WifiTarv.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Writes "tarvolin-scan: MESSAGE" to stderr and returns kFailed.
int Fail(const std::string& message);

std::string ErrorText(DWORD error);

// Returns nothing when the adapter is a wireless one, otherwise (after a
// message) the exit status.
std::optional<int> CheckAdapter(CWifiTarv& wifi, const std::string& adapter);

// How a request for a scan and the wait for its end came out.
struct ScanOutcome {
    enum class Kind {
        Completed,     // a scan that began after the request completed
        Aborted,       // it was cut short: what the adapter holds is from the scan before
        TimedOut,      // no scan completed by the deadline
        NotPermitted,  // this user cannot start scans: message says how to allow it
        Refused,       // the request failed for another reason, in message
    };
    Kind kind = Kind::Completed;
    std::string message;  // NotPermitted and Refused: what to tell, without the program's name
};

// Asks for a new scan through the engine, as the program does: of every
// channel, or with a frequency (MHz) of that channel alone; then waits until
// a scan that began after the request has ended, or until the deadline. A
// scan already under way serves as a start, and the wait goes on to the one
// after it. Prints nothing.
ScanOutcome RequestScan(CWifiTarv& wifi, const std::string& adapter, ULONG frequencyMhz,
                        std::chrono::steady_clock::time_point deadline);

// Tells on stderr what an outcome of one scan needs told: a scan that did not
// complete within capMs (the whole time the request had), an aborted scan, a
// failure. Returns nothing to go on and read, otherwise the exit status
// (kTimedOut or kFailed).
std::optional<int> TellOutcome(const ScanOutcome& outcome, const std::string& adapter, unsigned long capMs);

// The number of scans of the adapter that have ended so far, whoever started
// them; nothing when the provider cannot tell.
std::optional<std::uint64_t> CountEndedScans(const std::string& adapter);

// Waits until a scan of the adapter ends after the count since (from
// CountEndedScans), whoever started it, or until Ctrl-C. Returns the new count,
// or nothing when stopped or when the provider stopped being able to tell.
std::optional<std::uint64_t> AwaitScanByAnyone(const std::string& adapter, std::uint64_t since);

// The networks the adapter holds with everything the provider knows of them,
// strongest first. Returns nothing on success, otherwise (after a message)
// the exit status.
std::optional<int> ReadNetworks(const std::string& adapter, std::vector<platform::WirelessBss>& networks);
