#include "tools/tarvolin-scan/CsvLog.h"

#include "tools/tarvolin-scan/NetworkView.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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
    if (text.find_first_of(",\"") == std::string::npos)
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

std::string CsvLog::Folder() const
{
    const std::size_t slash = m_path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : m_path.substr(0, slash);
}

bool CsvLog::Check(std::string& error) const
{
    const std::string prefix = "cannot log to " + m_path + ": ";
    struct stat info { };
    if (::stat(m_path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error = prefix + (S_ISDIR(info.st_mode) ? "is a directory" : "is not a regular file");
        return false;
    }
    const std::string folder = Folder();
    if (::stat(folder.c_str(), &info) != 0) {
        error = prefix + (errno == ENOENT ? "there is no folder " + folder : folder + ": " + std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = prefix + folder + " is not a folder";
        return false;
    }
    // Each table is written to a temporary file beside the log and renamed
    // over it: make one now, as each scan will.
    std::string temporary = m_path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = prefix + "cannot create a file in " + folder + ": " + std::strerror(errno);
        return false;
    }
    ::close(fd);
    ::unlink(temporary.c_str());
    return true;
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
