// The CSV table a watch keeps: one row per network heard, rewritten whole
// after each scan. RFC 4180 (CRLF line ends, fields with a comma or quote in
// double quotes, quotes doubled), UTF-8, a header line. Text cells are
// escaped as the text output is (no control character stays raw) and a cell
// that starts with =, +, - or @ gets a leading apostrophe, so that no
// spreadsheet runs a network's name as a formula.
#pragma once

#include "tools/tarvolin-scan/AtomicFile.h"
#include "tools/tarvolin-scan/WatchTracker.h"

#include <string>
#include <vector>

class CsvLog {
public:
    explicit CsvLog(std::string path) : m_file(std::move(path)) { }

    // Whether the log can be written, before any scan: the path is no
    // folder or device, its folder exists, and a file can be made in it. On
    // failure error names the cause.
    bool Check(std::string& error) const;

    // Replaces the file with the table of these records. The table goes to a
    // temporary file beside it, reaches the disk, and is then renamed over
    // the old one, so that a reader (or a crash) only ever meets a whole
    // table. On failure the old file stays and error says why.
    bool Write(const std::vector<WatchTracker::Record>& records, std::string& error) const;

    // The table as text.
    static std::string Table(const std::vector<WatchTracker::Record>& records);

private:
    AtomicFile m_file;
};

// A CSV cell (RFC 4180): in double quotes, with its quotes doubled, when it
// holds a comma, a quote or a line break; otherwise as it is.
std::string CsvQuoted(const std::string& text);

// ISO 8601 in UTC with milliseconds: 2026-12-10T13:20:01.123Z.
std::string IsoTime(WatchTracker::Clock::time_point time);
