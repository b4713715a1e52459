#include "tools/tarvolin-scan/GpsReader.h"

#include <gps.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

struct GpsReader::Shared {
    // Readable once the watch ends: wakes the thread from its wait on gpsd.
    const int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::mutex mutex;
    std::condition_variable changed;
    bool connected = false;
    bool answered = false;  // a first attempt failed, or a fix came
    bool stop = false;
    bool ended = false;  // the thread has finished
    std::optional<GpsFix> latest;

    ~Shared()
    {
        if (wake >= 0)
            close(wake);
    }

    void RequestStop()
    {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        const std::uint64_t one = 1;
        if (wake >= 0)
            (void)!write(wake, &one, sizeof one);
    }

    // Waits until gpsd's socket has something to read (a report, or its end)
    // or the watch ends; false when the watch ends or the wait fails.
    bool AwaitReport(int socket)
    {
        pollfd fds[2] = {{socket, POLLIN, 0}, {wake, POLLIN, 0}};
        for (;;) {
            if (poll(fds, wake >= 0 ? 2 : 1, -1) >= 0)
                return fds[1].revents == 0 && !Stopping();
            if (errno != EINTR)
                return false;
        }
    }

    bool Stopping()
    {
        std::lock_guard lock(mutex);
        return stop;
    }

    // Sleeps for time unless told to stop; returns false when told.
    bool Sleep(std::chrono::milliseconds time)
    {
        std::unique_lock lock(mutex);
        return !changed.wait_for(lock, time, [this] { return stop; });
    }

    void Set(bool isConnected, const std::optional<GpsFix>& fix)
    {
        {
            std::lock_guard lock(mutex);
            connected = isConnected;
            if (fix)
                latest = fix;
            answered = answered || !isConnected || fix;
        }
        changed.notify_all();
    }
};

namespace {

// The fix a gpsd report carries, when it is one of two or three dimensions.
std::optional<GpsFix> FixOf(const gps_data_t& data)
{
    if (!(data.set & MODE_SET) || !(data.set & LATLON_SET) || data.fix.mode < MODE_2D ||
        !std::isfinite(data.fix.latitude) || !std::isfinite(data.fix.longitude))
        return std::nullopt;
    GpsFix fix;
    fix.latitude = data.fix.latitude;
    fix.longitude = data.fix.longitude;
    if (data.fix.mode >= MODE_3D && std::isfinite(data.fix.altHAE))
        fix.altitudeM = data.fix.altHAE;
    if (std::isfinite(data.fix.eph))
        fix.accuracyM = data.fix.eph;
    fix.mode = data.fix.mode;
    fix.received = GpsReader::Clock::now();
    return fix;
}

}  // namespace

GpsReader::GpsReader(std::string host, std::string port)
    : m_host(std::move(host)), m_port(std::move(port)), m_shared(std::make_shared<Shared>())
{
}

GpsReader::~GpsReader()
{
    if (!m_started)
        return;
    m_shared->RequestStop();
    std::unique_lock lock(m_shared->mutex);
    m_shared->changed.wait_for(lock, kStopWait, [this] { return m_shared->ended; });
}

void GpsReader::Start()
{
    m_started = true;
    // The thread keeps its own reference to what it shares and is never
    // joined: the destructor waits for it to end, a while at most.
    std::thread([shared = m_shared, host = m_host, port = m_port] {
        // Ctrl-C and SIGTERM are the scan loop's to handle.
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);

        const auto data = std::make_unique<gps_data_t>();
        while (!shared->Stopping()) {
            *data = gps_data_t{};
            if (gps_open(host.c_str(), port.c_str(), data.get()) != 0) {
                shared->Set(false, std::nullopt);
                if (!shared->Sleep(kRetry))
                    break;
                continue;
            }
            gps_stream(data.get(), WATCH_ENABLE | WATCH_JSON, nullptr);
            shared->Set(true, std::nullopt);
            while (!shared->Stopping()) {
                // Reports libgps has already taken from the socket come
                // first; otherwise wait for gpsd and the end of the watch
                // together.
                if (!gps_waiting(data.get(), 0) && !shared->AwaitReport(data->gps_fd))
                    break;
                data->set = 0;
                if (gps_read(data.get(), nullptr, 0) < 0)
                    break;  // gpsd went away
                if (const std::optional<GpsFix> fix = FixOf(*data))
                    shared->Set(true, fix);
            }
            gps_close(data.get());
            shared->Set(false, std::nullopt);
        }
        std::lock_guard lock(shared->mutex);
        shared->ended = true;
        shared->changed.notify_all();
    }).detach();
}

void GpsReader::AwaitFirstAnswer(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->changed.wait_for(lock, limit, [this] { return m_shared->answered; });
}

GpsReader::State GpsReader::Current(Clock::time_point now, std::optional<GpsFix>& fix) const
{
    std::lock_guard lock(m_shared->mutex);
    const State state = Judge(m_shared->connected, m_shared->latest, now);
    fix = state == State::Placed ? m_shared->latest : std::nullopt;
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
