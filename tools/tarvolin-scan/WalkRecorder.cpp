#include "tools/tarvolin-scan/WalkRecorder.h"

#include <cstdio>

namespace {

// Time the first scan waits for gpsd's first fix: gpsd sends one a second.
constexpr std::chrono::milliseconds kFirstFixWait{2000};

}  // namespace

WalkRecorder::WalkRecorder(const Options& options, const std::string& appRelease)
    : m_gps(options.gpsHost, options.gpsPort)
{
    if (!options.wiglePath.empty())
        m_wigle.emplace(options.wiglePath, WigleLog::LocalSource(appRelease, options.adapter));
    if (!options.kmlPath.empty())
        m_kml.emplace(options.kmlPath);
}

bool WalkRecorder::Start(std::string& error)
{
    if ((m_wigle && !m_wigle->Open(error)) || (m_kml && !m_kml->Start(error)))
        return false;
    m_gps.Start();
    m_gps.AwaitFirstAnswer(kFirstFixWait);
    return true;
}

bool WalkRecorder::Record(const std::vector<NetworkView>& scan, std::chrono::system_clock::time_point time,
                          std::string& error)
{
    std::optional<GpsFix> fix;
    const GpsReader::State state = m_gps.Current(GpsReader::Clock::now(), fix);
    if (state != m_told) {
        std::fprintf(stderr, "tarvolin-scan: %s\n", GpsReader::StateMessage(state, m_gps.Where()).c_str());
        std::fflush(stderr);
        m_told = state;
    }
    if (!fix || scan.empty())
        return true;
    if (m_wigle && !m_wigle->Append(scan, *fix, time, error))
        return false;
    if (m_kml) {
        m_kml->Take(scan, *fix, time);
        if (!m_kml->Write(error))
            return false;
    }
    return true;
}
