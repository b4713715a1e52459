#include "tools/tarvolin-scan/StopSignals.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>

namespace {

volatile std::sig_atomic_t g_requested = 0;
// Written to by the handler; read end polled by SleepFor. -1 until caught.
int g_pipe[2] = {-1, -1};

void OnStopSignal(int)
{
    const int saved = errno;
    g_requested = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

void StopSignals::Catch()
{
    if (g_pipe[0] >= 0)
        return;
    // Non-blocking both ways: a full pipe already says all there is to say,
    // and the handler must never wait.
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_pipe[0] = g_pipe[1] = -1;
    struct sigaction action { };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool StopSignals::Requested()
{
    return g_requested != 0;
}

bool StopSignals::SleepFor(std::chrono::milliseconds time)
{
    const auto end = std::chrono::steady_clock::now() + time;
    while (!Requested()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return false;
        pollfd wait{g_pipe[0], POLLIN, 0};
        // Without the pipe (no descriptors to spare) the signal still cuts
        // the sleep short: poll() returns with EINTR.
        poll(&wait, g_pipe[0] >= 0 ? 1 : 0, static_cast<int>(std::min<long long>(left, INT_MAX)));
    }
    return true;
}
