// The CSV table a watch keeps: one row per network heard, rewritten whole
// after each scan. RFC 4180 (CRLF line ends, fields with a comma or quote in
// double quotes, quotes doubled), UTF-8, a header line. Text cells are
// escaped as the text output is (no control character stays raw; a name's
// bytes that are not UTF-8 as \xNN) and a cell that starts with =, +, - or @
// gets a leading apostrophe, so that no spreadsheet runs a network's name as
// a formula.
//
// A table an earlier watch left is continued: its rows are read back and
// kept, and a network heard again has its row merged with this watch's
// history (the earliest first sighting, the latest last one, the best and
// the worst signal of both), so that running the watch again or after a
// crash loses nothing.
#pragma once

#include "tools/tarvolin-scan/AtomicFile.h"
#include "tools/tarvolin-scan/WatchTracker.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CsvLog {
public:
    using Clock = WatchTracker::Clock;

    // One row of the table.
    struct Row {
        std::string bssid;  // aa:bb:cc:dd:ee:ff, lower case; one row per BSSID
        // The text cells as the table holds them (escaped, a formula start
        // behind an apostrophe), before CSV quoting.
        std::string ssid;
        std::uint32_t channel = 0;
        std::uint32_t frequencyMhz = 0;
        std::string band;
        std::string security;
        std::string vendor;
        Clock::time_point firstSeen;  // to the millisecond
        Clock::time_point lastSeen;
        int bestSignalDbm = 0;
        int worstSignalDbm = 0;

        bool operator==(const Row&) const = default;
    };

    explicit CsvLog(std::string path) : m_file(std::move(path)) { }

    // Opens the log before any scan: checks that it can be written (the
    // path is no folder or device, its folder exists, a file can be made in
    // it) and reads back the table a file there holds, to be continued. An
    // empty file or none starts a new table; any other file, or a table that
    // no longer reads, is refused and left as it is. On failure error names
    // the cause.
    bool Open(std::string& error);

    // Replaces the file with the table: the rows read back at Open merged
    // with this watch's records. The table goes to a temporary file beside
    // it, reaches the disk, and is then renamed over the old one, so that a
    // reader (or a crash) only ever meets a whole table. On failure the old
    // file stays and error says why.
    bool Write(const std::vector<WatchTracker::Record>& records, std::string& error) const;

    // The table of these rows as text.
    static std::string Table(const std::vector<Row>& rows);

    // A watch's record as a row.
    static Row RowOf(const WatchTracker::Record& record);

    // Reads a table back. On failure reason says why, as the rest of a
    // sentence about the file: "is not a table of tarvolin-scan --log", or
    // "is damaged, line N: ..." for a table cut short or edited so that a
    // line no longer reads.
    static bool Read(std::string_view text, std::vector<Row>& rows, std::string& reason);

    // Rows merged with the records of a watch, as Write writes them: the
    // rows in their order, each one whose network the watch heard brought
    // up to date, then the networks the rows do not have, in the order the
    // watch first heard them.
    static std::vector<Row> Merge(std::vector<Row> rows, const std::vector<WatchTracker::Record>& records);

private:
    AtomicFile m_file;
    std::vector<Row> m_earlier;  // read back at Open
};

// A CSV cell (RFC 4180): in double quotes, with its quotes doubled, when it
// holds a comma, a quote or a line break; otherwise as it is.
std::string CsvQuoted(const std::string& text);

// ISO 8601 in UTC with milliseconds: 2026-12-10T13:20:01.123Z.
std::string IsoTime(WatchTracker::Clock::time_point time);

// Reads back what IsoTime writes, exactly that form; false for anything else.
bool ParseIsoTime(std::string_view text, WatchTracker::Clock::time_point& time);
