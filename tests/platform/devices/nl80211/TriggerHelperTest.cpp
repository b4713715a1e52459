// The runner that starts tarvolin-trigger for the nl80211 provider, with
// stand-in helpers (small shell scripts run as real child processes) that
// record how they were started and end as told.
#include "platform/devices/nl80211/TriggerHelper.h"
#include "platform/devices/nl80211/TriggerContract.h"
#include "platform/devices/nl80211/TriggerHelperScan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stop_token>
#include <string>

namespace {

namespace fs = std::filesystem;
using platform::nl80211::TriggerHelper;
using namespace std::chrono_literals;

constexpr auto kPatience = 20s;

class StandInHelper : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("tarvolin-trigger-test-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Writes an executable shell script with body and returns its path.
    std::string WriteHelper(const std::string& body, const char* name = "helper")
    {
        const fs::path path = m_dir / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all);
        return path.string();
    }
    std::string Read(const char* name) const
    {
        std::ifstream in(m_dir / name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string Dir() const { return m_dir.string(); }

    fs::path m_dir;
};

// The helper gets the interface name as its one argument, an empty
// environment and none of the caller's open files, and is reaped.
TEST_F(StandInHelper, GetsTheNameOnlyAndIsReaped)
{
    ASSERT_EQ(0, setenv("TARVOLIN_SECRET", "from the caller", 1));
    const int inherited = ::open("/dev/null", O_RDONLY);  // not close-on-exec
    ASSERT_GE(inherited, 0);
    ASSERT_EQ(50, ::dup2(inherited, 50));
    const std::string d = Dir();
    TriggerHelper helper(WriteHelper("echo \"$#:$1\" > " + d +
                                     "/args\n"
                                     "tr '\\0' '\\n' < /proc/$$/environ > " +
                                     d +
                                     "/environment\n"
                                     "[ -e /proc/$$/fd/50 ] && echo open > " +
                                     d +
                                     "/fd50\n"
                                     "exit 0"));
    EXPECT_EQ(ERROR_SUCCESS, helper.Start("wlan0"));
    EXPECT_EQ(ERROR_SUCCESS, helper.Wait("wlan0", kPatience));
    ::close(50);
    ::close(inherited);
    unsetenv("TARVOLIN_SECRET");

    EXPECT_EQ("1:wlan0\n", Read("args"));
    EXPECT_EQ("", Read("environment"));
    EXPECT_FALSE(fs::exists(m_dir / "fd50"));
    errno = 0;
    EXPECT_EQ(-1, ::waitpid(-1, nullptr, WNOHANG));
    EXPECT_EQ(ECHILD, errno) << "a helper was left unreaped";
}

// A scan of one channel: the frequency goes as the second argument, and the
// helper's refusal of it (exit 8 or 9) names the frequency.
TEST_F(StandInHelper, AFrequencyIsTheSecondArgument)
{
    const std::string d = Dir();
    TriggerHelper helper(WriteHelper("echo \"$#:$1:$2\" >> " + d + "/args\nexit 0"));
    EXPECT_EQ(ERROR_SUCCESS, helper.Start("wlan0", 2437));
    EXPECT_EQ(ERROR_SUCCESS, helper.Wait("wlan0", kPatience));
    EXPECT_EQ(ERROR_SUCCESS, helper.Start("wlan0"));
    EXPECT_EQ(ERROR_SUCCESS, helper.Wait("wlan0", kPatience));
    EXPECT_EQ("2:wlan0:2437\n1:wlan0:\n", Read("args"));

    using platform::nl80211::TriggerHelperScan;
    for (const char* exit : {"exit 8", "exit 9"}) {
        SCOPED_TRACE(exit);
        TriggerHelperScan way(WriteHelper(exit));
        EXPECT_TRUE(way.CanLimit());
        std::string why;
        EXPECT_EQ(ERROR_INVALID_PARAMETER, way.RequestOn("wlan0", 5955, {}, why));
        EXPECT_NE(std::string::npos, why.find("no channel at 5955 MHz")) << why;
    }
}

// Start returns while the helper still runs; while it runs no second one
// starts for that interface, but another interface gets its own.
TEST_F(StandInHelper, StartDoesNotWaitNorPileUp)
{
    const std::string d = Dir();
    TriggerHelper helper(WriteHelper("echo \"$1\" >> " + d +
                                     "/started\n"
                                     "i=0; while [ ! -e " +
                                     d +
                                     "/go ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n"
                                     "echo \"$1\" >> " +
                                     d +
                                     "/finished\n"
                                     "exit 0"));
    EXPECT_EQ(ERROR_SUCCESS, helper.Start("wlan0"));
    EXPECT_FALSE(fs::exists(m_dir / "finished")) << "Start waited for the helper";
    EXPECT_EQ(ERROR_BUSY, helper.Wait("wlan0", 0ms));
    EXPECT_EQ(ERROR_SUCCESS, helper.Start("wlan0"));
    EXPECT_EQ(ERROR_SUCCESS, helper.Start("wlan1"));
    std::ofstream(m_dir / "go") << "";
    EXPECT_EQ(ERROR_SUCCESS, helper.Wait("wlan0", kPatience));
    EXPECT_EQ(ERROR_SUCCESS, helper.Wait("wlan1", kPatience));
    const std::string started = Read("started"), finished = Read("finished");
    EXPECT_TRUE(started == "wlan0\nwlan1\n" || started == "wlan1\nwlan0\n") << started;
    EXPECT_TRUE(finished == "wlan0\nwlan1\n" || finished == "wlan1\nwlan0\n") << finished;
}

// How a run ended is what Wait gives and what the next Start reports, which
// still starts a new run (so a capability granted meanwhile is used).
TEST_F(StandInHelper, HowARunEndedReachesTheNextRequest)
{
    struct Case {
        const char* exit;
        DWORD result;
    };
    const Case kCases[] = {
        {"exit 0", ERROR_SUCCESS},           {"exit 6", ERROR_PRIVILEGE_NOT_HELD}, {"exit 4", ERROR_FILE_NOT_FOUND},
        {"exit 5", ERROR_NOT_SUPPORTED},     {"exit 7", ERROR_NOT_READY},          {"exit 3", ERROR_INVALID_PARAMETER},
        {"exit 2", ERROR_INVALID_PARAMETER}, {"exit 1", ERROR_GEN_FAILURE},        {"exit 99", ERROR_GEN_FAILURE},
        {"kill -9 $$", ERROR_GEN_FAILURE},
    };
    const std::string d = Dir();
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.exit);
        fs::remove(m_dir / "runs");
        TriggerHelper helper(WriteHelper("echo run >> " + d + "/runs\n" + c.exit));
        EXPECT_EQ(ERROR_SUCCESS, helper.Start("wlan0"));
        EXPECT_EQ(c.result, helper.Wait("wlan0", kPatience));
        EXPECT_EQ(c.result, helper.Start("wlan0"));
        EXPECT_EQ(c.result, helper.Wait("wlan0", kPatience));
        EXPECT_EQ("run\nrun\n", Read("runs"));
    }
}

TEST_F(StandInHelper, AMissingOrUnrunnableHelperIsRefusedAtOnce)
{
    const std::string notExecutable = WriteHelper("exit 0", "plain-file");
    fs::permissions(notExecutable, fs::perms::owner_read | fs::perms::owner_write);
    for (const std::string& path : {std::string(), Dir() + "/missing", notExecutable}) {
        SCOPED_TRACE(path);
        TriggerHelper helper(path);
        EXPECT_EQ(ERROR_ACCESS_DENIED, helper.Start("wlan0"));
        EXPECT_EQ(ERROR_ACCESS_DENIED, helper.Wait("wlan0", 0ms));
    }
}

// The helper beside an installed program, the build tree's copy for a
// program in the build tree, and nothing for a program elsewhere.
TEST_F(StandInHelper, IsFoundBesideTheInstallOrInTheBuildTree)
{
    const fs::path prefix = m_dir / "usr";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "lib" / "tarvolin");
    const std::string program = (prefix / "bin" / "tarvolin").string();
    EXPECT_EQ("", TriggerHelper::Locate(program));

    const fs::path installed = prefix / "lib" / "tarvolin" / "tarvolin-trigger";
    std::ofstream(installed) << "#!/bin/sh\n";
    EXPECT_EQ("", TriggerHelper::Locate(program)) << "a helper that cannot run was taken";
    fs::permissions(installed, fs::perms::owner_all);
    EXPECT_EQ(installed.string(), TriggerHelper::Locate(program));

    EXPECT_EQ(TARVOLIN_TRIGGER, TriggerHelper::Locate(std::string(TARVOLIN_BUILD_DIR) + "/src/app/tarvolin"));
    EXPECT_EQ(TARVOLIN_TRIGGER, TriggerHelper::LocateForThisProgram());
}

}  // namespace

// As the last link of the scan request chain: the helper's outcome with a
// sentence a person can act on, and a stop request that ends the wait.
TEST_F(StandInHelper, AsAScanRequesterItWaitsOnItsOwnThreadAndSaysWhy)
{
    using platform::nl80211::TriggerHelperScan;
    struct Case {
        const char* exit;
        DWORD result;
        const char* why;
    };
    const Case kCases[] = {
        {"exit 0", ERROR_SUCCESS, ""},
        {"exit 6", ERROR_PRIVILEGE_NOT_HELD, "lacks cap_net_admin"},
        {"exit 7", ERROR_NOT_READY, "the interface is down"},
        {"exit 1", ERROR_GEN_FAILURE, "could not start a scan"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.exit);
        TriggerHelperScan way(WriteHelper(c.exit));
        std::string why;
        EXPECT_EQ(c.result, way.Request("wlan0", {}, why));
        EXPECT_NE(std::string::npos, why.find(c.why)) << why;
    }
    std::string why;
    EXPECT_EQ(ERROR_ACCESS_DENIED, TriggerHelperScan("").Request("wlan0", {}, why));
    EXPECT_NE(std::string::npos, why.find("not installed")) << why;

    std::stop_source stop;
    stop.request_stop();
    TriggerHelperScan slow(WriteHelper("sleep 5"));
    EXPECT_EQ(ERROR_CANCELLED, slow.Request("wlan0", stop.get_token(), why));
}
