// The real start-up and shut-down: the program's global objects, a prepared
// registry file, the main window closed by its caption button (in process)
// or by SIGTERM (the real executable).
#include "app/Globals.h"
#include "app/MainApp.h"
#include "platform/devices/SimulatedProvider.h"
#include "platform/gdi/GdiInternal.h"
#include "settings/Language.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* kPrepared =
    "Windows Registry Editor Version 5.00\r\n"
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
    EXPECT_EQ(g_language.GetText(1), u"Optionen");  // German was selected
    const std::string saved = folder.Read();
    for (const char* line : {"\"FontSize\"=dword:0000000c", "\"ScanSpeed\"=dword:00000009", "\"HideWEP\"=dword:00000000",
                             "\"HidePeer\"=dword:00000000", "\"SoundOff\"=dword:00000001",
                             "\"Language\"=dword:00000006", "\"Adapter\"=\"wl\\\"an\\\\0\"", "\"Extra\"=hex:01,02,03",
                             "[HKEY_LOCAL_MACHINE\\Software\\Other]", "\"Kept\"=\"yes\""})
        EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
    platform::SetWirelessProvider(nullptr);
}

// The executable under test, in the same build tree.
#ifndef TARVOLIN_EXECUTABLE
#error "TARVOLIN_EXECUTABLE must name the program"
#endif

bool HandlesSigterm(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) & (1ull << (SIGTERM - 1))) != 0;
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
    for (int i = 0; i < 500 && !HandlesSigterm(pid); ++i)
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

class StopSignal : public ::testing::TestWithParam<int> {};

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

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, ::testing::Values(SIGTERM, SIGINT));

TEST(Startup, FirstStartWithoutAFileWritesAllSevenDefaults)
{
    ConfigFolder folder;
    const RunResult result = RunAndStop(folder.Root(), SIGTERM);
    ASSERT_TRUE(result.exited);
    const std::string saved = folder.Read();
    for (const char* line : {"\"FontSize\"=dword:0000000c", "\"ScanSpeed\"=dword:00000002", "\"HideWEP\"=dword:00000000",
                             "\"HidePeer\"=dword:00000000", "\"SoundOff\"=dword:00000001",
                             "\"Language\"=dword:00000000", "\"Adapter\"=\"\""})
        EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
}

}  // namespace
