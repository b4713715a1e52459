#include "tools/tarvolin-scan/CsvLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr const char* kHeader =
    "bssid,ssid,channel,frequency_mhz,band,security,vendor,first_seen,last_seen,best_signal_dbm,worst_signal_dbm";

std::string Field(const std::string& text)
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

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

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

bool CsvLog::Write(const std::vector<WatchTracker::Record>& records, std::string& error) const
{
    std::string temporary = m_path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = "cannot create a file beside " + m_path + ": " + std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private; a log is an ordinary file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    const bool written = WriteAll(fd, Table(records)) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    if (::close(fd) != 0 || !written) {
        error = "cannot write " + temporary + ": " + std::strerror(written ? errno : savedErrno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), m_path.c_str()) != 0) {
        error = "cannot replace " + m_path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
