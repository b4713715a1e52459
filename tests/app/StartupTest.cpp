// The real start-up and shut-down: the program's global objects, a prepared
// registry file, the main window closed by its caption button (in process)
// or by stop signals (the real executable, and the program with a message
// box or menu open in a child process).
#include "app/Globals.h"
#include "app/MainApp.h"
#include "platform/devices/SimulatedProvider.h"
#include "res/Resource.h"
#include "settings/Language.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* kPrepared = "Windows Registry Editor Version 5.00\r\n"
                        "\r\n"
                        "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\r\n"
                        "\"Language\"=dword:00000006\r\n"
                        "\"ScanSpeed\"=dword:00000009\r\n"
                        "\"Adapter\"=\"wl\\\"an\\\\0\"\r\n"
                        "\"Extra\"=hex:01,02,03\r\n"
                        "\r\n"
                        "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n"
                        "\"Kept\"=\"yes\"\r\n";

class ConfigFolder {
public:
    ConfigFolder()
    {
        char pattern[] = "/tmp/tarvolin-startup-XXXXXX";
        m_root = mkdtemp(pattern);
        setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
    }
    ~ConfigFolder() { fs::remove_all(m_root); }
    fs::path File() const { return m_root / "tarvolin" / "registry.reg"; }
    fs::path Root() const { return m_root; }
    void Write(const std::string& text) const
    {
        fs::create_directories(File().parent_path());
        std::ofstream(File(), std::ios::binary) << text;
    }
    std::string Read() const
    {
        std::ifstream in(File(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    fs::path m_root;
};

void CloseMainWindowSoon(std::u16string* titleSeen)
{
    QTimer::singleShot(0, [titleSeen] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) {
                *titleSeen = w->windowTitle().toStdU16String();
                w->close();
            }
    });
}

TEST(Startup, ClosingTheMainWindowSavesEverySettingAndKeepsTheRest)
{
    ConfigFolder folder;
    folder.Write(kPrepared);
    // No wireless adapter here, whatever this machine has: the stored
    // adapter name stays.
    std::string error;
    platform::SetWirelessProvider(platform::MakeSimulatedProviderFromText("adapter eth0 wired\n", error));
    std::u16string title;
    CloseMainWindowSoon(&title);

    EXPECT_TRUE(theApp.InitInstance());

    EXPECT_EQ(title, u"Tarvolin");
    EXPECT_EQ(g_language.GetText(IDS_OPTIONS_TAB), u"Optionen");  // German was selected
    const std::string saved = folder.Read();
    for (const char* line : {"\"FontSize\"=dword:0000000c", "\"ScanSpeed\"=dword:00000009",
                             "\"HideWEP\"=dword:00000000", "\"HidePeer\"=dword:00000000", "\"SoundOff\"=dword:00000001",
                             "\"Language\"=dword:00000006", "\"Adapter\"=\"wl\\\"an\\\\0\"", "\"Extra\"=hex:01,02,03",
                             "[HKEY_LOCAL_MACHINE\\Software\\Other]", "\"Kept\"=\"yes\""})
        EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
    platform::SetWirelessProvider(nullptr);
}

// The executable under test, in the same build tree.
#ifndef TARVOLIN_EXECUTABLE
#error "TARVOLIN_EXECUTABLE must name the program"
#endif

bool HandlesSignal(pid_t pid, int signal)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) & (1ull << (signal - 1))) != 0;
    return false;
}

struct RunResult {
    bool exited = false;
    int status = -1;
};

RunResult RunAndStop(const fs::path& configRoot, int signal)
{
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", configRoot.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(TARVOLIN_EXECUTABLE, TARVOLIN_EXECUTABLE, static_cast<char*>(nullptr));
        _exit(127);
    }
    // Signal only once the program has its handler: before that the signal
    // would kill it, which is not what a user's logout meets.
    for (int i = 0; i < 500 && !HandlesSignal(pid, signal); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // Let it reach its main window too, most of the time; either way the
    // settings must be saved.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(pid, signal);
    RunResult result;
    for (int i = 0; i < 1000; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            result.exited = WIFEXITED(status);
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return result;
}

class StopSignal : public ::testing::TestWithParam<int> { };

TEST_P(StopSignal, EndsTheProgramInOrderWithSettingsSaved)
{
    ConfigFolder folder;
    folder.Write(kPrepared);
    const RunResult result = RunAndStop(folder.Root(), GetParam());
    ASSERT_TRUE(result.exited) << "the program did not end by itself";
    EXPECT_EQ(result.status, 0);
    const std::string saved = folder.Read();
    EXPECT_NE(saved.find("\"FontSize\"=dword:0000000c"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"Language\"=dword:00000006"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"Kept\"=\"yes\""), std::string::npos) << saved;
}

// SIGHUP is what a closed terminal sends.
INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

#ifndef STOP_CHILD
#error "STOP_CHILD must name the test's child program"
#endif

// Counts how often the registry file is replaced: every save renames a
// finished temporary file over it.
class SaveCounter {
public:
    explicit SaveCounter(const fs::path& folder) : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (m_fd >= 0)
            inotify_add_watch(m_fd, folder.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
    }
    ~SaveCounter()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    SaveCounter(const SaveCounter&) = delete;
    SaveCounter& operator=(const SaveCounter&) = delete;

    int Saves(const std::string& fileName)
    {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t length = read(m_fd, buffer, sizeof buffer);
            if (length <= 0)
                return m_saves;
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                // A file written in place would show as closed after writing.
                if ((event->mask & (IN_MOVED_TO | IN_CLOSE_WRITE)) != 0 && event->len > 0 && fileName == event->name)
                    ++m_saves;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

private:
    int m_fd;
    int m_saves = 0;
};

struct StopCase {
    const char* name;
    const char* open;        // what the child opens: see StopChild.cpp
    std::vector<int> stops;  // the signals, back to back
};

std::ostream& operator<<(std::ostream& out, const StopCase& c)
{
    return out << c.name;
}

class StopRequest : public ::testing::TestWithParam<StopCase> { };

// The child runs until it shows what it was asked to open; then the signals
// come, back to back as at logout. It must end by itself, at once, having
// saved the settings exactly once.
TEST_P(StopRequest, EndsWhateverIsOpenAndSavesOnce)
{
    ConfigFolder folder;
    folder.Write(kPrepared);
    SaveCounter counter(folder.File().parent_path());
    int out[2];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        setenv("XDG_CONFIG_HOME", folder.Root().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(STOP_CHILD, STOP_CHILD, GetParam().open, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string line;
    pollfd ready{out[0], POLLIN, 0};
    while (line.find('\n') == std::string::npos && poll(&ready, 1, 30000) == 1) {
        char buffer[64];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    EXPECT_EQ(line, "open\n") << "the child did not show what it was to open";
    for (int signal : GetParam().stops)
        kill(pid, signal);

    int status = -1;
    bool ended = false;
    // Generous for a loaded machine; a program that waits for a person
    // never ends by itself.
    for (int i = 0; i < 1000 && !ended; ++i) {
        ended = waitpid(pid, &status, WNOHANG) == pid;
        if (!ended)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    ASSERT_TRUE(ended) << "the program did not end by itself";
    ASSERT_TRUE(WIFEXITED(status)) << "the program was killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(counter.Saves(folder.File().filename().string()), 1);
    const std::string saved = folder.Read();
    // The question was not answered: the language stays.
    for (const char* line : {"\"FontSize\"=dword:0000000c", "\"Language\"=dword:00000006", "\"Kept\"=\"yes\""})
        EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
}

INSTANTIATE_TEST_SUITE_P(Signals, StopRequest,
                         ::testing::Values(StopCase{"Hangup", "main", {SIGHUP}},
                                           StopCase{"Logout", "main", {SIGTERM, SIGHUP}},
                                           StopCase{"AboutBox", "about", {SIGTERM}},
                                           StopCase{"AboutBoxAtLogout", "about", {SIGTERM, SIGHUP}},
                                           StopCase{"LanguageMenu", "menu", {SIGTERM}},
                                           StopCase{"LanguageQuestion", "question", {SIGTERM}}),
                         [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

TEST(Startup, FirstStartWithoutAFileWritesAllSevenDefaults)
{
    ConfigFolder folder;
    const RunResult result = RunAndStop(folder.Root(), SIGTERM);
    ASSERT_TRUE(result.exited);
    const std::string saved = folder.Read();
    for (const char* line : {"\"FontSize\"=dword:0000000c", "\"ScanSpeed\"=dword:00000002",
                             "\"HideWEP\"=dword:00000000", "\"HidePeer\"=dword:00000000", "\"SoundOff\"=dword:00000001",
                             "\"Language\"=dword:00000000", "\"Adapter\"=\"\""})
        EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
}

}  // namespace
