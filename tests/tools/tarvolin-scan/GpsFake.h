// A real gpsd, fed by gpsfake from an NMEA log, on a port of the test's own:
// no root, no receiver. gpsfake and the gpsd it starts run in a process
// group of their own, so that stopping one stops both.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace tooltest {

// A TCP port on the loopback that nothing listens on now.
inline int FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

inline bool Listening(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

// Polls condition every 20 ms until it holds or the deadline passes.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::seconds deadline = std::chrono::seconds(60))
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class GpsFake {
public:
    // Replays log on port, one sentence every cycle seconds; once: the log
    // is played once and gpsd then ends, else it plays again and again.
    GpsFake(const std::string& log, int port, const char* cycle, bool once, const std::string& output) : m_port(port)
    {
        m_pid = fork();
        if (m_pid == 0) {
            setpgid(0, 0);
            if (std::freopen(output.c_str(), "w", stdout) == nullptr)
                _exit(127);
            dup2(fileno(stdout), 2);
            const std::string portText = std::to_string(port);
            std::vector<const char*> argv{"gpsfake", "-q", "-c", cycle, "-P", portText.c_str()};
            if (once)
                argv.push_back("-1");
            argv.push_back(log.c_str());
            argv.push_back(nullptr);
            execvp("gpsfake", const_cast<char* const*>(argv.data()));
            _exit(127);
        }
        setpgid(m_pid, m_pid);
        m_ready = WaitFor([&] { return Listening(m_port); });
    }

    ~GpsFake() { Stop(); }

    GpsFake(const GpsFake&) = delete;
    GpsFake& operator=(const GpsFake&) = delete;

    // Whether gpsd took connections within the deadline.
    bool Ready() const { return m_ready; }

    // Ends gpsfake and its gpsd, and waits until the port is free.
    void Stop()
    {
        if (m_pid <= 0)
            return;
        kill(-m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        if (!WaitFor([&] { return !Listening(m_port); }, std::chrono::seconds(10))) {
            kill(-m_pid, SIGKILL);
            WaitFor([&] { return !Listening(m_port); }, std::chrono::seconds(10));
        }
        // gpsfake ended by a signal leaves its control socket behind.
        std::remove(("/tmp/gpsfake-" + std::to_string(m_pid) + ".sock").c_str());
        m_pid = -1;
    }

private:
    int m_port;
    pid_t m_pid = -1;
    bool m_ready = false;
};

}  // namespace tooltest
