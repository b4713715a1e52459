#include "platform/devices/nl80211/TriggerHelper.h"

#include "platform/devices/nl80211/StopEvent.h"
#include "platform/devices/nl80211/TriggerContract.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <system_error>

namespace platform::nl80211 {

namespace {

namespace fs = std::filesystem;

DWORD ResultOfExit(int status)
{
    if (!WIFEXITED(status))
        return ERROR_GEN_FAILURE;
    switch (WEXITSTATUS(status)) {
    case TRIGGER_STARTED: return ERROR_SUCCESS;
    // The helper ran, and the kernel refused it: its file lacks the
    // capability (copied, or on a file system without extended attributes).
    case TRIGGER_NOT_PERMITTED: return ERROR_PRIVILEGE_NOT_HELD;
    case TRIGGER_NO_INTERFACE: return ERROR_FILE_NOT_FOUND;
    case TRIGGER_NOT_WIRELESS: return ERROR_NOT_SUPPORTED;
    case TRIGGER_DOWN: return ERROR_NOT_READY;
    case TRIGGER_USAGE:
    case TRIGGER_BAD_NAME:
    case TRIGGER_BAD_FREQUENCY:
    case TRIGGER_NO_CHANNEL: return ERROR_INVALID_PARAMETER;
    default: return ERROR_GEN_FAILURE;
    }
}

bool Executable(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

// Through syscall(): this glibc's <sys/pidfd.h> declares the wrappers
// without C linkage, so C++ cannot link against them.
int OpenPidfd(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

void KillThroughPidfd(int pidfd)
{
    ::syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0);
}

enum class Ended { Exited, Stopped, TimedOut, Failed };

// Waits until the child behind pidfd exits, stopFd (when not -1) becomes
// readable, or the deadline passes, whichever comes first.
Ended AwaitExit(int pidfd, int stopFd, TriggerHelper::Deadline deadline)
{
    while (true) {
        int timeoutMs = -1;
        if (deadline != TriggerHelper::Deadline::max()) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
            // A deadline already passed still looks once, without waiting.
            timeoutMs = static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
        }
        pollfd waits[2] = {{pidfd, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int ready = poll(waits, stopFd >= 0 ? 2 : 1, timeoutMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return Ended::Failed;
        }
        if (ready > 0 && waits[0].revents != 0)
            return Ended::Exited;
        if (ready > 0 && waits[1].revents != 0)
            return Ended::Stopped;
        if (ready == 0 && std::chrono::steady_clock::now() >= deadline)
            return Ended::TimedOut;
    }
}

// Kills the child unless it has exited, reaps it and closes its pidfd.
// Returns its wait status, or -1 when it could not be reaped.
int KillAndReap(pid_t pid, int pidfd, bool kill)
{
    if (kill)
        KillThroughPidfd(pidfd);
    int status = 0;
    pid_t reaped;
    do
        reaped = ::waitpid(pid, &status, 0);
    while (reaped < 0 && errno == EINTR);
    ::close(pidfd);
    return reaped == pid ? status : -1;
}

// Starts path with the interface name and, when not 0, the frequency, an empty environment, /dev/null for
// its standard streams (the caller reports its outcome in its own words) and
// no other descriptor of ours, with default signal handling. Returns the
// child's pid, or -1.
pid_t SpawnHelper(const std::string& path, const std::string& interfaceName, std::uint32_t frequencyMhz)
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return -1;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    bool ready = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
                 posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0) == 0 &&
                 posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0) == 0 &&
                 posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0 &&
                 posix_spawnattr_setsigmask(&attributes, &none) == 0 &&
                 posix_spawnattr_setsigdefault(&attributes, &all) == 0 &&
                 posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
    pid_t pid = -1;
    if (ready) {
        std::string name = "tarvolin-trigger", value = interfaceName, frequency = std::to_string(frequencyMhz);
        char* argv[] = {name.data(), value.data(), frequencyMhz != 0 ? frequency.data() : nullptr, nullptr};
        char* envp[] = {nullptr};
        if (posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, envp) != 0)
            pid = -1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace

TriggerHelper::TriggerHelper(std::string helperPath) : m_path(std::move(helperPath))
{
}

TriggerHelper::~TriggerHelper()
{
    for (auto& [name, run] : m_started) {
        if (run.child.pid > 0)
            KillAndReap(run.child.pid, run.child.pidfd, true);
    }
}

std::string TriggerHelper::Locate(const std::string& programPath)
{
    const fs::path program(programPath);
    const fs::path installed = program.parent_path() / ".." / "lib" / "tarvolin" / "tarvolin-trigger";
    std::error_code error;
    if (Executable(installed))
        return fs::weakly_canonical(installed, error).string();
#if defined(TARVOLIN_BUILD_DIR) && defined(TARVOLIN_BUILD_TRIGGER)
    // The build tree's copy serves only programs that run from the build
    // tree: an installed program never reaches into a build folder.
    const std::string buildDir = std::string(TARVOLIN_BUILD_DIR) + "/";
    if (programPath.starts_with(buildDir) && Executable(TARVOLIN_BUILD_TRIGGER))
        return TARVOLIN_BUILD_TRIGGER;
#endif
    return {};
}

std::string TriggerHelper::LocateForThisProgram()
{
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : Locate(self.string());
}

TriggerHelper::Child TriggerHelper::Spawn(const std::string& interfaceName, std::uint32_t frequencyMhz) const
{
    const pid_t pid = m_path.empty() ? -1 : SpawnHelper(m_path, interfaceName, frequencyMhz);
    if (pid < 0)
        return {};
    const int pidfd = OpenPidfd(pid);
    if (pidfd < 0) {
        // No pidfd (a kernel before 5.3): the helper cannot be waited for
        // alongside a stop request, so it is not run at all.
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) { }
        return {};
    }
    return {pid, pidfd};
}

DWORD TriggerHelper::Run(const std::string& interfaceName, std::uint32_t frequencyMhz, std::stop_token stop,
                         Deadline deadline)
{
    const StopEvent stopEvent(stop);
    if (stopEvent.Requested())
        return ERROR_CANCELLED;
    const Child child = Spawn(interfaceName, frequencyMhz);
    if (child.pid < 0)
        return ERROR_ACCESS_DENIED;
    const Ended ended = AwaitExit(child.pidfd, stopEvent.Fd(), deadline);
    const int status = KillAndReap(child.pid, child.pidfd, ended != Ended::Exited);
    switch (ended) {
    case Ended::Stopped: return ERROR_CANCELLED;
    case Ended::TimedOut: return ERROR_TIMEOUT;
    case Ended::Failed: return ERROR_GEN_FAILURE;
    case Ended::Exited: break;
    }
    return status < 0 ? ERROR_GEN_FAILURE : ResultOfExit(status);
}

void TriggerHelper::Reap(Started& run)
{
    const int status = KillAndReap(run.child.pid, run.child.pidfd, false);
    run.child = {};
    run.lastResult = status < 0 ? ERROR_GEN_FAILURE : ResultOfExit(status);
}

DWORD TriggerHelper::Start(const std::string& interfaceName, std::uint32_t frequencyMhz)
{
    std::lock_guard guard(m_lock);
    Started& run = m_started[interfaceName];
    if (run.child.pid > 0) {
        if (AwaitExit(run.child.pidfd, -1, std::chrono::steady_clock::now()) != Ended::Exited)
            return ERROR_SUCCESS;
        Reap(run);
    }
    const DWORD previous = run.lastResult;
    run.child = Spawn(interfaceName, frequencyMhz);
    if (run.child.pid < 0) {
        run.lastResult = ERROR_ACCESS_DENIED;
        return ERROR_ACCESS_DENIED;
    }
    return previous;
}

DWORD TriggerHelper::Wait(const std::string& interfaceName, std::chrono::milliseconds timeout)
{
    std::lock_guard guard(m_lock);
    Started& run = m_started[interfaceName];
    if (run.child.pid > 0) {
        if (AwaitExit(run.child.pidfd, -1, std::chrono::steady_clock::now() + timeout) != Ended::Exited)
            return ERROR_BUSY;
        Reap(run);
    }
    return run.lastResult;
}

}  // namespace platform::nl80211
