// Ctrl-C (SIGINT) and SIGTERM as a request to end a running watch or
// follow: the handler only notes it and writes a byte to a pipe, so that a
// wait between scans polls that pipe and wakes for the signal at once.
#pragma once

#include <chrono>

class StopSignals {
public:
    // Catches the two signals for as long as the process runs; later calls
    // change nothing.
    static void Catch();

    // Whether one of them came.
    static bool Requested();

    // Sleeps for the time given unless a signal comes first. Returns whether
    // one came.
    static bool SleepFor(std::chrono::milliseconds time);
};
