// The scan-event listener when its socket ends under it: it opens a socket
// afresh once, and when that one ends too it stops, instead of waking for a
// socket that has nothing more to give. It listens here on nlctrl's group,
// which every kernel has, and its socket is replaced by a pipe that hangs up
// or that fails every receive.
#include "platform/devices/nl80211/ScanEventMonitor.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using platform::nl80211::ScanEventMonitor;
using namespace std::chrono_literals;

// This process's open sockets.
std::set<int> Sockets()
{
    std::set<int> sockets;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(entry.path(), error).string().starts_with("socket:"))
            sockets.insert(std::stoi(entry.path().filename().string()));
    }
    return sockets;
}

// This process's threads.
std::set<int> Threads()
{
    std::set<int> threads;
    for (const auto& entry : fs::directory_iterator("/proc/self/task"))
        threads.insert(std::stoi(entry.path().filename().string()));
    return threads;
}

// The one element of after that is not in before, or -1.
int Added(const std::set<int>& before, const std::set<int>& after)
{
    int added = -1;
    for (const int item : after) {
        if (!before.contains(item)) {
            if (added >= 0)
                return -1;
            added = item;
        }
    }
    return added;
}

double ProcessCpuMs()
{
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

// The CPU time the process uses over a while in which this thread sleeps:
// the listener's, as it is the only other thread.
double CpuMsWhileIdle()
{
    const double before = ProcessCpuMs();
    std::this_thread::sleep_for(300ms);
    return ProcessCpuMs() - before;
}

void Nothing(int)
{
}

// Puts the read end of a new pipe where the socket was, and interrupts the
// listener's poll(), which holds on to the socket it was called with, so
// that it polls the pipe from then on. With hangUp the
// write end is closed (poll says POLLHUP); otherwise a byte waits in it
// for good (poll says POLLIN, and every receive fails: it is no socket).
// Returns the write end to close later, or -1.
int ReplaceWithPipe(int socket, bool hangUp, int listener)
{
    int ends[2];
    if (pipe(ends) != 0)
        return -1;
    if (!hangUp && write(ends[1], "x", 1) != 1)
        return -1;
    dup2(ends[0], socket);
    close(ends[0]);
    struct sigaction interrupt { };
    interrupt.sa_handler = Nothing;
    sigaction(SIGUSR1, &interrupt, nullptr);
    syscall(SYS_tgkill, getpid(), listener, SIGUSR1);
    if (hangUp) {
        close(ends[1]);
        return -1;
    }
    return ends[1];
}

}  // namespace

TEST(ScanEventMonitor, ASocketThatEndsIsOpenedOnceAfreshThenListeningStops)
{
    constexpr double kIdleCpuMs = 30;  // a spinning listener uses about 300
    for (const bool hangUp : {true, false}) {
        SCOPED_TRACE(hangUp ? "the socket hangs up" : "every receive fails");
        const std::set<int> socketsBefore = Sockets(), threadsBefore = Threads();
        ScanEventMonitor monitor("nlctrl", "notify");
        ASSERT_TRUE(monitor.Listening()) << "cannot join nlctrl's notify group";
        const int listener = Added(threadsBefore, Threads());
        const int first = Added(socketsBefore, Sockets());
        ASSERT_GE(listener, 0);
        ASSERT_GE(first, 0);
        std::printf("listening: %.1f ms CPU in 300 ms\n", CpuMsWhileIdle());

        const int firstWriter = ReplaceWithPipe(first, hangUp, listener);
        std::this_thread::sleep_for(100ms);
        const int second = Added(socketsBefore, Sockets());
        EXPECT_GE(second, 0) << "no socket was opened afresh";
        EXPECT_TRUE(monitor.Listening());
        EXPECT_TRUE(Threads().contains(listener));
        const double reopenedCpu = CpuMsWhileIdle();
        std::printf("on a socket opened afresh: %.1f ms CPU in 300 ms\n", reopenedCpu);
        EXPECT_LT(reopenedCpu, kIdleCpuMs);

        const int secondWriter = second >= 0 ? ReplaceWithPipe(second, hangUp, listener) : -1;
        for (int i = 0; i < 200 && Threads().contains(listener); ++i)
            std::this_thread::sleep_for(10ms);
        EXPECT_FALSE(Threads().contains(listener)) << "the listener still runs";
        EXPECT_FALSE(monitor.Listening());
        const double endedCpu = CpuMsWhileIdle();
        std::printf("after the second end: %.1f ms CPU in 300 ms\n", endedCpu);
        EXPECT_LT(endedCpu, kIdleCpuMs);
        for (const int writer : {firstWriter, secondWriter}) {
            if (writer >= 0)
                close(writer);
        }
    }
}
