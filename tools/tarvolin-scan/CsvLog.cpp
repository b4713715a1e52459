#include "tools/tarvolin-scan/CsvLog.h"

#include "tools/tarvolin-scan/NetworkView.h"

#include <cstdio>
#include <ctime>
#include <string_view>

namespace {

constexpr const char* kHeader =
    "bssid,ssid,channel,frequency_mhz,band,security,vendor,first_seen,last_seen,best_signal_dbm,worst_signal_dbm";

// One cell. Control characters are escaped as in the text output, so no cell
// carries a raw line break, escape sequence or NUL. A cell that starts like a
// formula (=, +, - or @) gets a leading apostrophe, which spreadsheets take as
// "text, not a formula".
std::string Field(const std::string& value)
{
    std::string text = PrintableSsid(value);
    if (!text.empty() && std::string_view("=+-@").find(text.front()) != std::string_view::npos)
        text.insert(0, 1, '\'');
    return CsvQuoted(text);
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

std::string CsvLog::Table(const std::vector<WatchTracker::Record>& records)
{
    std::string table = std::string(kHeader) + "\r\n";
    for (const WatchTracker::Record& record : records) {
        const NetworkView& n = record.latest;
        table += Field(n.bssid) + ',' + Field(n.ssid) + ',' + std::to_string(n.channel) + ',' +
                 std::to_string(n.frequencyMhz) + ',' + Field(n.band) + ',' + Field(SecurityLabel(n.details)) + ',' +
                 Field(n.vendor) + ',' + IsoTime(record.firstSeen) + ',' + IsoTime(record.lastSeen) + ',' +
                 std::to_string(record.bestSignalDbm) + ',' + std::to_string(record.worstSignalDbm) + "\r\n";
    }
    return table;
}

bool CsvLog::Check(std::string& error) const
{
    return m_file.Check("cannot log to " + m_file.Path(), error);
}

bool CsvLog::Write(const std::vector<WatchTracker::Record>& records, std::string& error) const
{
    return m_file.Replace(Table(records), error);
}
