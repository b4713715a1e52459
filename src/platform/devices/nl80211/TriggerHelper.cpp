#include "platform/devices/nl80211/TriggerHelper.h"

#include "tools/tarvolin-trigger/TriggerExit.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform::nl80211 {

struct TriggerHelper::Runs {
    struct Run {
        bool running = false;
        DWORD lastResult = ERROR_SUCCESS;
    };
    std::mutex lock;
    std::condition_variable ended;
    std::map<std::string, Run> byInterface;
};

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

// Starts path with the interface name and, when not 0, the frequency, an empty environment, /dev/null for
// its standard streams (the caller reports its outcome in its own words) and
// no other descriptor of ours, with default signal handling. Returns the
// child's pid, or -1.
pid_t Spawn(const std::string& path, const std::string& interfaceName, std::uint32_t frequencyMhz)
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

TriggerHelper::TriggerHelper(std::string helperPath) : m_path(std::move(helperPath)), m_runs(std::make_shared<Runs>())
{
}

TriggerHelper::~TriggerHelper() = default;

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

DWORD TriggerHelper::Start(const std::string& interfaceName, std::uint32_t frequencyMhz)
{
    std::unique_lock guard(m_runs->lock);
    Runs::Run& run = m_runs->byInterface[interfaceName];
    if (run.running)
        return ERROR_SUCCESS;
    const DWORD previous = run.lastResult;
    const pid_t pid = m_path.empty() ? -1 : Spawn(m_path, interfaceName, frequencyMhz);
    if (pid < 0) {
        run.lastResult = ERROR_ACCESS_DENIED;
        return ERROR_ACCESS_DENIED;
    }
    run.running = true;
    const auto reap = [runs = m_runs, interfaceName, pid] {
        int status = 0;
        pid_t reaped;
        do
            reaped = ::waitpid(pid, &status, 0);
        while (reaped < 0 && errno == EINTR);
        std::lock_guard guard(runs->lock);
        Runs::Run& ended = runs->byInterface[interfaceName];
        ended.running = false;
        ended.lastResult = reaped == pid ? ResultOfExit(status) : ERROR_GEN_FAILURE;
        runs->ended.notify_all();
    };
    try {
        std::thread(reap).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the helper is brief, so reap it here rather
        // than leave a zombie.
        guard.unlock();
        reap();
    }
    return previous;
}

DWORD TriggerHelper::Wait(const std::string& interfaceName, std::chrono::milliseconds timeout)
{
    std::unique_lock guard(m_runs->lock);
    Runs::Run& run = m_runs->byInterface[interfaceName];
    if (!m_runs->ended.wait_for(guard, timeout, [&run] { return !run.running; }))
        return ERROR_BUSY;
    return run.lastResult;
}

}  // namespace platform::nl80211
