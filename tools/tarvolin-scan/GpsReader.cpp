#include "tools/tarvolin-scan/GpsReader.h"

#include <gps.h>
#include <signal.h>

#include <cmath>

GpsReader::GpsReader(std::string host, std::string port) : m_host(std::move(host)), m_port(std::move(port))
{
}

GpsReader::~GpsReader()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void GpsReader::Start()
{
    m_thread = std::thread([this] { Run(); });
}

void GpsReader::AwaitFirstAnswer(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, limit, [this] { return m_answered; });
}

GpsReader::State GpsReader::Current(Clock::time_point now, std::optional<GpsFix>& fix) const
{
    std::lock_guard lock(m_mutex);
    const State state = Judge(m_connected, m_latest, now);
    fix = state == State::Placed ? m_latest : std::nullopt;
    return state;
}

std::string GpsReader::Where() const
{
    // An IPv6 address gets brackets, so that its port stands apart.
    if (m_host.find(':') != std::string::npos)
        return "[" + m_host + "]:" + m_port;
    return m_host + ":" + m_port;
}

GpsReader::State GpsReader::Judge(bool connected, const std::optional<GpsFix>& latest, Clock::time_point now)
{
    if (latest && latest->mode >= 2 && now >= latest->received && now - latest->received <= kMaxFixAge)
        return State::Placed;
    return connected ? State::NoFix : State::Unreachable;
}

std::string GpsReader::StateMessage(State state, const std::string& where)
{
    switch (state) {
    case State::Placed: return "placing readings at the fixes of gpsd at " + where;
    case State::NoFix: return "gpsd at " + where + " has no fix; readings are not placed until it has";
    case State::Unreachable: break;
    }
    return "cannot reach gpsd at " + where + "; scanning goes on, readings are not placed until it answers";
}

bool GpsReader::Sleep(std::chrono::milliseconds time)
{
    std::unique_lock lock(m_mutex);
    return !m_changed.wait_for(lock, time, [this] { return m_stop; });
}

void GpsReader::Run()
{
    // Ctrl-C and SIGTERM are the scan loop's to handle.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    const auto stopping = [this] {
        std::lock_guard lock(m_mutex);
        return m_stop;
    };
    while (!stopping()) {
        gps_data_t data{};
        if (gps_open(m_host.c_str(), m_port.c_str(), &data) != 0) {
            {
                std::lock_guard lock(m_mutex);
                m_connected = false;
                m_answered = true;
            }
            m_changed.notify_all();
            if (!Sleep(kRetry))
                break;
            continue;
        }
        gps_stream(&data, WATCH_ENABLE | WATCH_JSON, nullptr);
        {
            std::lock_guard lock(m_mutex);
            m_connected = true;
        }
        while (!stopping()) {
            // A quarter of a second at most, so that the end of the watch
            // is noticed soon.
            if (!gps_waiting(&data, 250000))
                continue;
            data.set = 0;
            if (gps_read(&data, nullptr, 0) < 0)
                break;  // gpsd went away
            if (!(data.set & MODE_SET) || !(data.set & LATLON_SET) || data.fix.mode < MODE_2D ||
                !std::isfinite(data.fix.latitude) || !std::isfinite(data.fix.longitude))
                continue;
            GpsFix fix;
            fix.latitude = data.fix.latitude;
            fix.longitude = data.fix.longitude;
            if (data.fix.mode >= MODE_3D && std::isfinite(data.fix.altHAE))
                fix.altitudeM = data.fix.altHAE;
            if (std::isfinite(data.fix.eph))
                fix.accuracyM = data.fix.eph;
            fix.mode = data.fix.mode;
            fix.received = Clock::now();
            {
                std::lock_guard lock(m_mutex);
                m_latest = fix;
                m_answered = true;
            }
            m_changed.notify_all();
        }
        gps_close(&data);
        std::lock_guard lock(m_mutex);
        m_connected = false;
    }
}
