#include "tools/tarvolin-scan/CsvLog.h"

#include "tools/tarvolin-scan/CsvReader.h"
#include "tools/tarvolin-scan/NetworkView.h"
#include "tools/tarvolin-scan/TextFields.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <map>

namespace {

constexpr std::string_view kHeader =
    "bssid,ssid,channel,frequency_mhz,band,security,vendor,first_seen,last_seen,best_signal_dbm,worst_signal_dbm";
constexpr std::size_t kColumns = 11;

// One text cell from printable text (no control character in it): a cell
// that starts like a formula (=, +, - or @) gets a leading apostrophe, which
// spreadsheets take as "text, not a formula".
std::string Cell(std::string text)
{
    if (!text.empty() && std::string_view("=+-@").find(text.front()) != std::string_view::npos)
        text.insert(0, 1, '\'');
    return text;
}

// Control characters are escaped as in the text output, so no cell carries
// a raw line break, escape sequence or NUL.
std::string Field(const std::string& value)
{
    return Cell(PrintableSsid(value));
}

// A text cell as the table writes it holds no control character: those are
// escaped, so that no row is ever more than one line.
bool Printable(const std::string& cell)
{
    return std::none_of(cell.begin(), cell.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// One record of the table as a row; reason names what does not read.
bool ParseRow(const CsvRecord& record, CsvLog::Row& row, std::string& reason)
{
    const std::string line = "line " + std::to_string(record.line) + ": ";
    const std::vector<std::string>& cells = record.cells;
    if (cells.size() != kColumns) {
        reason = line + "a row of " + std::to_string(cells.size()) + " cells, not " + std::to_string(kColumns);
        return false;
    }
    row.bssid = cells[0];
    row.ssid = cells[1];
    row.band = cells[4];
    row.security = cells[5];
    row.vendor = cells[6];
    if (!IsBssid(row.bssid)) {
        reason = line + "the bssid " + row.bssid + " is not a MAC address as the table writes it";
        return false;
    }
    for (const std::string* text : {&row.ssid, &row.band, &row.security, &row.vendor}) {
        if (!Printable(*text)) {
            reason = line + "a line break or other control character inside a cell";
            return false;
        }
    }
    struct Number {
        const char* column;
        bool read;
    };
    const Number numbers[] = {
        {"channel", ParseWhole(cells[2], row.channel)},
        {"frequency_mhz", ParseWhole(cells[3], row.frequencyMhz)},
        {"first_seen", ParseIsoTime(cells[7], row.firstSeen)},
        {"last_seen", ParseIsoTime(cells[8], row.lastSeen)},
        {"best_signal_dbm", ParseWhole(cells[9], row.bestSignalDbm)},
        {"worst_signal_dbm", ParseWhole(cells[10], row.worstSignalDbm)},
    };
    for (const Number& number : numbers) {
        if (!number.read) {
            reason = line + "the " + number.column + " cell does not read";
            return false;
        }
    }
    if (row.firstSeen > row.lastSeen || row.worstSignalDbm > row.bestSignalDbm) {
        reason = line + (row.firstSeen > row.lastSeen ? "first_seen is after last_seen"
                                                      : "worst_signal_dbm is above best_signal_dbm");
        return false;
    }
    return true;
}

}  // namespace

std::string CsvQuoted(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string IsoTime(WatchTracker::Clock::time_point time)
{
    const auto since = time.time_since_epoch();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(since);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(since - seconds).count();
    const std::time_t whole = static_cast<std::time_t>(seconds.count());
    std::tm parts{};
    gmtime_r(&whole, &parts);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, static_cast<int>(millis));
    return text;
}

bool ParseIsoTime(std::string_view text, WatchTracker::Clock::time_point& time)
{
    // 2026-12-10T13:20:01.123Z
    constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd.dddZ";
    if (text.size() != kShape.size())
        return false;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] == 'd' ? text[i] < '0' || text[i] > '9' : text[i] != kShape[i])
            return false;
    }
    const auto field = [&](std::size_t at, std::size_t length) {
        int value = 0;
        std::from_chars(text.data() + at, text.data() + at + length, value);
        return value;
    };
    using namespace std::chrono;
    const year_month_day date{year(field(0, 4)), month(static_cast<unsigned>(field(5, 2))),
                              day(static_cast<unsigned>(field(8, 2)))};
    const int hour = field(11, 2);
    const int minute = field(14, 2);
    const int second = field(17, 2);
    if (!date.ok() || hour > 23 || minute > 59 || second > 59)
        return false;
    time = WatchTracker::Clock::time_point(sys_days(date)) + hours(hour) + minutes(minute) + seconds(second) +
           milliseconds(field(20, 3));
    return true;
}

CsvLog::Row CsvLog::RowOf(const WatchTracker::Record& record)
{
    const NetworkView& n = record.latest;
    Row row;
    row.bssid = n.bssid;
    // A hidden network's name is empty; every other name keeps each of its
    // bytes, escaped as the other outputs write it.
    row.ssid = n.hidden ? std::string() : Cell(PrintableSsidBytes(n.ssidBytes));
    row.channel = n.channel;
    row.frequencyMhz = n.frequencyMhz;
    row.band = Field(n.band);
    row.security = Field(SecurityLabel(n.details));
    row.vendor = Field(n.vendor);
    row.firstSeen = record.firstSeen;
    row.lastSeen = record.lastSeen;
    row.bestSignalDbm = record.bestSignalDbm;
    row.worstSignalDbm = record.worstSignalDbm;
    return row;
}

std::string CsvLog::Table(const std::vector<Row>& rows)
{
    std::string table = std::string(kHeader) + "\r\n";
    for (const Row& row : rows) {
        table += row.bssid + ',' + CsvQuoted(row.ssid) + ',' + std::to_string(row.channel) + ',' +
                 std::to_string(row.frequencyMhz) + ',' + CsvQuoted(row.band) + ',' + CsvQuoted(row.security) + ',' +
                 CsvQuoted(row.vendor) + ',' + IsoTime(row.firstSeen) + ',' + IsoTime(row.lastSeen) + ',' +
                 std::to_string(row.bestSignalDbm) + ',' + std::to_string(row.worstSignalDbm) + "\r\n";
    }
    return table;
}

bool CsvLog::Read(std::string_view text, std::vector<Row>& rows, std::string& reason)
{
    rows.clear();
    // Only a file that starts with the table's header line is one at all.
    const std::string_view first = text.substr(0, text.find('\n') + 1);
    if (first != std::string(kHeader) + "\r\n" && first != std::string(kHeader) + "\n") {
        reason = "is not a table of tarvolin-scan --log";
        return false;
    }
    std::vector<CsvRecord> records;
    if (const std::size_t bad = Utf8Error(text); bad != std::string_view::npos) {
        const auto line = std::count(text.begin(), text.begin() + static_cast<long>(bad), '\n') + 1;
        reason = "is damaged, line " + std::to_string(line) + ": a byte that is not UTF-8";
        return false;
    }
    if (!CsvReader::Read(text, records, reason)) {
        reason = "is damaged, " + reason;
        return false;
    }
    std::map<std::string, int> lines;  // BSSID -> the line of its row
    for (std::size_t i = 1; i < records.size(); ++i) {
        Row& row = rows.emplace_back();
        if (!ParseRow(records[i], row, reason)) {
            reason = "is damaged, " + reason;
            return false;
        }
        if (const auto [at, added] = lines.emplace(row.bssid, records[i].line); !added) {
            reason = "is damaged, line " + std::to_string(records[i].line) + ": a second row for " + row.bssid +
                     " (the first is on line " + std::to_string(at->second) + ")";
            return false;
        }
    }
    return true;
}

std::vector<CsvLog::Row> CsvLog::Merge(std::vector<Row> rows, const std::vector<WatchTracker::Record>& records)
{
    std::map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < rows.size(); ++i)
        index.emplace(rows[i].bssid, i);
    for (const WatchTracker::Record& record : records) {
        Row now = RowOf(record);
        const auto [at, added] = index.emplace(now.bssid, rows.size());
        if (added) {
            rows.push_back(std::move(now));
            continue;
        }
        // What the network is now, with the history of both.
        Row& row = rows[at->second];
        now.firstSeen = std::min(row.firstSeen, now.firstSeen);
        now.lastSeen = std::max(row.lastSeen, now.lastSeen);
        now.bestSignalDbm = std::max(row.bestSignalDbm, now.bestSignalDbm);
        now.worstSignalDbm = std::min(row.worstSignalDbm, now.worstSignalDbm);
        row = std::move(now);
    }
    return rows;
}

bool CsvLog::Open(std::string& error)
{
    const auto read = [this](std::string_view text, std::string& reason) { return Read(text, m_earlier, reason); };
    return m_file.Open("cannot log to " + m_file.Path(), read, error);
}

bool CsvLog::Write(const std::vector<WatchTracker::Record>& records, std::string& error) const
{
    return m_file.Replace(Table(Merge(m_earlier, records)), error);
}
