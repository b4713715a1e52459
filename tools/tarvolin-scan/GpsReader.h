// Positions from a running gpsd, read through libgps on a thread of their
// own so that a slow or vanished gpsd never holds up a scan. The reader keeps
// the latest fix of at least two dimensions; a scan's readings are placed at
// it while it is no older than two seconds. Without gpsd it tries again
// every second, so that a receiver unplugged and plugged back, or gpsd
// restarted, is picked up again mid-walk.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

struct GpsFix {
    double latitude = 0;                             // degrees, north positive
    double longitude = 0;                            // degrees, east positive
    std::optional<double> altitudeM;                 // metres above the WGS 84 ellipsoid, when gpsd knows it
    std::optional<double> accuracyM;                 // gpsd's estimate of the horizontal error in metres
    int mode = 0;                                    // 2: 2D fix, 3: 3D fix
    std::chrono::steady_clock::time_point received;  // when the fix came from gpsd
};

class GpsReader {
public:
    using Clock = std::chrono::steady_clock;

    // A fix older than this places nothing: the walker has moved on.
    static constexpr std::chrono::seconds kMaxFixAge{2};
    // Time between attempts to reach gpsd.
    static constexpr std::chrono::seconds kRetry{1};
    // Time the end of a watch waits for the reading thread. A thread still
    // connecting to a far gpsd that does not answer is left to end with
    // the process, so that Ctrl-C ends the watch at once.
    static constexpr std::chrono::seconds kStopWait{1};

    enum class State {
        Placed,       // a fix no older than kMaxFixAge
        NoFix,        // gpsd answers but has no such fix
        Unreachable,  // gpsd does not answer, and no recent fix is left
    };

    GpsReader(std::string host, std::string port);
    ~GpsReader();
    GpsReader(const GpsReader&) = delete;
    GpsReader& operator=(const GpsReader&) = delete;

    // Starts the reading thread.
    void Start();

    // Waits until the first attempt to reach gpsd has failed or a fix has
    // come, for at most limit, so that the first scan of a walk is placed
    // when gpsd has a fix at hand.
    void AwaitFirstAnswer(std::chrono::milliseconds limit);

    // The state at now and, when Placed, the fix to place readings at.
    State Current(Clock::time_point now, std::optional<GpsFix>& fix) const;

    // "HOST:PORT", for messages.
    std::string Where() const;

    // Judges what a reader knows: whether gpsd answers and the latest fix.
    static State Judge(bool connected, const std::optional<GpsFix>& latest, Clock::time_point now);

    // The line stderr gets when the state becomes this one (without
    // "tarvolin-scan: " and the line end).
    static std::string StateMessage(State state, const std::string& where);

private:
    // What the reading thread and the watch share; the thread holds it too,
    // so that it outlives a reader whose thread was left behind.
    struct Shared;

    std::string m_host;
    std::string m_port;
    std::shared_ptr<Shared> m_shared;
    bool m_started = false;
};
