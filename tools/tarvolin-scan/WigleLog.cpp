#include "tools/tarvolin-scan/WigleLog.h"

#include "tools/tarvolin-scan/AtomicFile.h"
#include "tools/tarvolin-scan/CsvLog.h"
#include "tools/tarvolin-scan/ExistingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>

namespace {

// A pre-header value: commas and line breaks would split the line.
std::string HeaderValue(std::string value)
{
    for (char& c : value) {
        if (c == ',' || c == '\n' || c == '\r' || c == '=')
            c = ' ';
    }
    return value.empty() ? "unknown" : value;
}

// The first line of a small file, without surrounding blanks; empty when
// it cannot be read.
std::string FirstLine(const char* path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    const std::size_t first = line.find_first_not_of(" \t\r");
    const std::size_t last = line.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

std::string Number(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// The key management WiGLE names for the strongest kind.
const char* KeyManagement(platform::Security security, bool enterprise)
{
    if (enterprise)
        return "EAP";
    return security == platform::Security::Wpa3 ? "SAE" : "PSK";
}

}  // namespace

std::string WigleTime(WigleLog::Clock::time_point time)
{
    const std::time_t whole =
        static_cast<std::time_t>(std::chrono::floor<std::chrono::seconds>(time.time_since_epoch()).count());
    std::tm parts{};
    gmtime_r(&whole, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

std::string WigleAuthMode(const NetworkView& network)
{
    using platform::Security;
    const platform::BssDetails& d = network.details;
    std::string mode;
    switch (d.security) {
    case Security::Open: break;
    case Security::Wep: mode = "[WEP]"; break;
    case Security::Owe: mode = d.transition ? "[RSN-OWE-CCMP][OWE_TRANSITION]" : "[RSN-OWE-CCMP]"; break;
    case Security::Wpa: mode = std::string("[WPA-") + KeyManagement(d.security, d.enterprise) + "-TKIP]"; break;
    case Security::Wpa2:
        // Transition: WPA beside WPA2 (mixed mode).
        if (d.transition)
            mode = std::string("[WPA-") + KeyManagement(Security::Wpa, d.enterprise) + "-TKIP]";
        mode += std::string("[WPA2-") + KeyManagement(d.security, d.enterprise) + "-CCMP]";
        break;
    case Security::Wpa3:
        // Transition: WPA2 beside WPA3 (mixed mode).
        if (d.transition)
            mode = std::string("[WPA2-") + KeyManagement(Security::Wpa2, d.enterprise) + "-CCMP]";
        mode += std::string("[WPA3-") + KeyManagement(d.security, d.enterprise) + "-CCMP]";
        break;
    }
    if (d.wps)
        mode += "[WPS]";
    return mode + (network.mode == "adhoc" ? "[IBSS]" : "[ESS]");
}

WigleLog::WigleLog(std::string path, Source source) : m_path(std::move(path)), m_source(std::move(source))
{
}

WigleLog::~WigleLog()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

WigleLog::Source WigleLog::LocalSource(std::string appRelease, std::string device)
{
    Source source;
    source.appRelease = std::move(appRelease);
    source.device = std::move(device);
    utsname names{};
    if (::uname(&names) == 0) {
        source.model = names.machine;
        source.release = names.release;
        source.board = names.machine;
    }
    // The firmware's names of the machine, where it gives them.
    if (const std::string product = FirstLine("/sys/class/dmi/id/product_name"); !product.empty())
        source.model = product;
    source.brand = FirstLine("/sys/class/dmi/id/sys_vendor");
    return source;
}

std::string WigleLog::Header(const Source& source)
{
    return "WigleWifi-1.6,appRelease=" + HeaderValue(source.appRelease) + ",model=" + HeaderValue(source.model) +
           ",release=" + HeaderValue(source.release) + ",device=" + HeaderValue(source.device) +
           ",display=none,board=" + HeaderValue(source.board) + ",brand=" + HeaderValue(source.brand) +
           ",star=Sol,body=3,subBody=0\n" + kColumns + "\n";
}

std::string WigleLog::Row(const NetworkView& n, const GpsFix& fix, Clock::time_point time)
{
    // A hidden network's name is empty; every other name keeps its bytes
    // readable and on one line, escaped as the other outputs write it.
    const std::string ssid = n.hidden ? std::string() : PrintableSsidBytes(n.ssidBytes);
    return n.bssid + ',' + CsvQuoted(ssid) + ',' + WigleAuthMode(n) + ',' + WigleTime(time) + ',' +
           std::to_string(n.channel) + ',' + std::to_string(n.frequencyMhz) + ',' + std::to_string(n.signalDbm) + ',' +
           Number(fix.latitude, 8) + ',' + Number(fix.longitude, 8) + ',' + Number(fix.altitudeM.value_or(0), 1) + ',' +
           Number(fix.accuracyM.value_or(0), 1) + ",,,WIFI\n";
}

bool WigleLog::Open(std::string& error)
{
    const std::string lead = "cannot log to " + m_path + ": ";
    if (!RegularOrAbsent(m_path, lead, error))
        return false;
    m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    std::string text;
    if (m_fd < 0 || !ReadAll(m_fd, text)) {
        error = lead + std::strerror(errno);
        return false;
    }
    std::string header;
    if (text.empty()) {
        header = Header(m_source);
    } else {
        const std::size_t first = text.find('\n');
        const std::size_t second = first == std::string::npos ? first : text.find('\n', first + 1);
        if (!text.starts_with("WigleWifi-1.6,") || second == std::string::npos ||
            text.substr(first + 1, second - first - 1) != kColumns) {
            error = Refusal(lead, "is not a WiGLE 1.6 log");
            return false;
        }
        // A row cut short by a crash ends without a line end: drop it.
        const std::size_t end = text.rfind('\n') + 1;
        if (end < text.size() && ::ftruncate(m_fd, static_cast<off_t>(end)) != 0) {
            error = lead + std::strerror(errno);
            return false;
        }
    }
    // From here on every write goes to the end.
    if (::fcntl(m_fd, F_SETFL, O_APPEND) != 0 || !WriteAll(m_fd, header) || ::fdatasync(m_fd) != 0) {
        error = lead + std::strerror(errno);
        return false;
    }
    return true;
}

bool WigleLog::Append(const std::vector<NetworkView>& scan, const GpsFix& fix, Clock::time_point time,
                      std::string& error)
{
    std::string rows;
    for (const NetworkView& network : scan)
        rows += Row(network, fix, time);
    if (!WriteAll(m_fd, rows) || ::fdatasync(m_fd) != 0) {
        error = "cannot write " + m_path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
