// The NetworkManager request on a private bus started by the test: against no
// NetworkManager, against one that never answers, the whole window's scan
// ticks while that request waits for its answer, and a caller's deadline on
// a request that never gets one.
#include "platform/devices/nl80211/NetworkManagerScan.h"
#include "app/Globals.h"
#include "app/MainDlg.h"
#include "platform/devices/WirelessProvider.h"
#include "platform/devices/nl80211/ScanRequestChain.h"
#include "platform/devices/nl80211/TriggerHelperScan.h"
#include "tests/e2e/MainWindowFixture.h"

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

using platform::nl80211::NetworkManagerScan;
using platform::nl80211::ScanRequestChain;
using platform::nl80211::ScanRequester;
using platform::nl80211::TriggerHelperScan;

namespace {

// A process the test starts and reads line by line.
class Child {
public:
    bool Start(const QString& program, const QStringList& arguments)
    {
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        m_process.start();
        return m_process.waitForStarted();
    }
    ~Child() { Stop(); }
    void Stop()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    // The next line it prints; empty when it ends or says nothing for 30 s.
    QString ReadLine()
    {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(30000))
                return {};
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    // Everything printed so far, without waiting.
    QString Printed()
    {
        m_process.waitForReadyRead(0);
        m_output += QString::fromUtf8(m_process.readAll());
        return m_output;
    }

private:
    QProcess m_process;
    QString m_output;
};

// A bus of the test's own, and on it (once Silence() was called) a
// NetworkManager that swallows every call.
class PrivateBus : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(
            m_daemon.Start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                           QStringLiteral("--print-address=1")}))
            << "dbus-daemon is not installed";
        m_address = m_daemon.ReadLine().toStdString();
        ASSERT_FALSE(m_address.empty()) << "dbus-daemon gave no address";
    }
    void Silence()
    {
        ASSERT_TRUE(
            m_silent.Start(QStringLiteral(TARVOLIN_SILENT_NETWORKMANAGER), {QString::fromStdString(m_address)}));
        ASSERT_EQ(m_silent.ReadLine(), QStringLiteral("ready"));
    }
    // A folder of the test's own.
    static std::filesystem::path TempDir()
    {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("tarvolin-nm-test-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        return dir;
    }
    // Waits until the silent NetworkManager has swallowed this many calls.
    void WaitForCalls(int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(m_silent.ReadLine().startsWith(QStringLiteral("call "))) << "no call reached NetworkManager";
    }

    Child m_daemon;
    Child m_silent;
    std::string m_address;
};

// The window's radio: reading answers with nothing, and a scan request goes
// down the unprivileged chain, as on a machine without the capability.
class UnprivilegedRadio final : public platform::WirelessProvider {
public:
    explicit UnprivilegedRadio(std::unique_ptr<ScanRequestChain> chain) : chain(std::move(chain)) { }
    DWORD ListInterfaces(std::vector<std::string>& names) override
    {
        names = {"wlan0"};
        return ERROR_SUCCESS;
    }
    DWORD IsWireless(const std::string&, bool& wireless) override
    {
        wireless = true;
        return ERROR_SUCCESS;
    }
    DWORD TriggerScan(const std::string& name) override
    {
        ++triggers;
        chain->Start(name);
        return ERROR_SUCCESS;
    }
    DWORD ReadScan(const std::string&, std::vector<platform::WirelessBss>& networks) override
    {
        ++reads;
        networks.clear();
        return ERROR_SUCCESS;
    }
    std::unique_ptr<ScanRequestChain> chain;
    int triggers = 0;
    int reads = 0;
};

}  // namespace

TEST_F(PrivateBus, WithoutNetworkManagerTheRequestIsRefusedWithTheReason)
{
    NetworkManagerScan request(m_address);
    std::string why;
    EXPECT_EQ(request.Request("wlan0", {}, why), ERROR_ACCESS_DENIED);
    EXPECT_EQ(why, "NetworkManager is not running");

    NetworkManagerScan nowhere("unix:path=/nonexistent/tarvolin-test-bus");
    EXPECT_EQ(nowhere.Request("wlan0", {}, why), ERROR_ACCESS_DENIED);
    EXPECT_EQ(why, "there is no system bus to reach NetworkManager");
}

TEST_F(PrivateBus, ANetworkManagerThatNeverAnswersTimesOut)
{
    Silence();
    NetworkManagerScan request(m_address, 200);
    std::string why;
    EXPECT_EQ(request.Request("wlan0", {}, why), ERROR_TIMEOUT);
    EXPECT_EQ(why, "NetworkManager did not answer");
    WaitForCalls(1);
}

TEST_F(PrivateBus, AWaitingRequestGivesUpWhenStopped)
{
    Silence();
    NetworkManagerScan request(m_address, 600000);
    std::stop_source stop;
    DWORD result = ERROR_SUCCESS;
    std::thread asking([&] {
        std::string why;
        result = request.Request("wlan0", stop.get_token(), why);
    });
    WaitForCalls(1);
    stop.request_stop();
    asking.join();
    EXPECT_EQ(result, ERROR_CANCELLED);
}

// Every scan tick runs to its end and re-arms the scan timer while the
// request it handed to NetworkManager has still not been answered: the
// window never waits on the bus. The call's timeout is far longer than the
// test, so no tick can have ended because the call gave up.
TEST_F(PrivateBus, ScanTicksKeepTimeWhileNetworkManagerNeverAnswers)
{
    Silence();
    std::vector<std::unique_ptr<ScanRequester>> ways;
    ways.push_back(std::make_unique<NetworkManagerScan>(m_address, 600000));
    auto radio = std::make_shared<UnprivilegedRadio>(std::make_unique<ScanRequestChain>(std::move(ways)));
    platform::SetWirelessProvider(radio);
    g_settings.SetString(SettingAdapter, u"wlan0");
    Open();

    ScanTick();
    WaitForCalls(1);  // the request is with NetworkManager, unanswered
    for (int tick = 2; tick <= 10; ++tick) {
        ScanTick();
        EXPECT_EQ(Period(CMainDlg::kScanTimer), 1000u) << "tick " << tick << " did not re-arm the scan timer";
        EXPECT_TRUE(radio->chain->Pending("wlan0"));
    }
    EXPECT_EQ(radio->reads, 10);
    EXPECT_EQ(radio->triggers, 10);
    // One request waits; the ticks after it did not pile more onto the bus.
    EXPECT_EQ(m_silent.Printed(), QString());
    Close();
    platform::SetWirelessProvider(nullptr);
}

// A request through a NetworkManager that never answers, or through a
// helper that never exits once NetworkManager is not there, ends at the
// caller's deadline, and the chain behind it ends at once after. The calls'
// own timeouts are far longer than the test.
TEST_F(PrivateBus, TheDeadlineEndsTheWaitForAnAnswerThatNeverComes)
{
    using Clock = std::chrono::steady_clock;
    constexpr auto kDeadline = std::chrono::milliseconds(500);
    constexpr auto kMargin = std::chrono::milliseconds(1000);
    const std::filesystem::path dir = TempDir();
    const std::filesystem::path helper = dir / "tarvolin-trigger";
    const std::filesystem::path pidFile = dir / "pid";
    std::ofstream(helper) << "#!/bin/sh\necho $$ >" << pidFile.string() << "\nexec /bin/sleep 60\n";
    std::filesystem::permissions(helper, std::filesystem::perms::owner_all);

    for (const bool silent : {true, false}) {
        SCOPED_TRACE(silent ? "NetworkManager never answers" : "the helper never exits");
        if (silent)
            Silence();
        std::vector<std::unique_ptr<ScanRequester>> ways;
        ways.push_back(std::make_unique<NetworkManagerScan>(m_address, 600000));
        ways.push_back(std::make_unique<TriggerHelperScan>(helper.string()));
        auto chain = std::make_unique<ScanRequestChain>(std::move(ways));

        const auto asked = Clock::now();
        chain->Start("wlan0");
        std::string why;
        EXPECT_EQ(chain->WaitSettled("wlan0", why, asked + kDeadline), ERROR_TIMEOUT);
        const auto waited = Clock::now() - asked;
        EXPECT_GE(waited, kDeadline);
        EXPECT_LT(waited, kDeadline + kMargin);
        if (silent) {
            WaitForCalls(1);
        } else {
            // The helper runs, and the chain waits for it.
            for (int i = 0; i < 100 && !std::filesystem::exists(pidFile); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            EXPECT_TRUE(std::filesystem::exists(pidFile));
        }
        const auto ending = Clock::now();
        chain.reset();
        EXPECT_LT(Clock::now() - ending, kMargin);
        m_silent.Stop();
    }
    pid_t helperPid = 0;
    std::ifstream(pidFile) >> helperPid;
    if (helperPid > 0)
        ::kill(helperPid, SIGKILL);
    std::filesystem::remove_all(dir);
}

// A stop request ends a way that waits for an answer that never comes within
// 100 ms: the bus call's and the helper's waits wake for it rather than look
// at it now and then. The helper is killed and reaped, not left running.
TEST_F(PrivateBus, AStopEndsAWaitingWayAtOnce)
{
    using Clock = std::chrono::steady_clock;
    constexpr auto kPromptly = std::chrono::milliseconds(100);
    const std::filesystem::path dir = TempDir();
    const std::filesystem::path helper = dir / "tarvolin-trigger";
    const std::filesystem::path pidFile = dir / "pid";
    std::ofstream(helper) << "#!/bin/sh\necho $$ >" << pidFile.string() << ".new\nmv " << pidFile.string() << ".new "
                          << pidFile.string() << "\nexec /bin/sleep 60\n";
    std::filesystem::permissions(helper, std::filesystem::perms::owner_all);

    for (const bool silent : {true, false}) {
        SCOPED_TRACE(silent ? "NetworkManager never answers" : "the helper never exits");
        std::unique_ptr<ScanRequester> way;
        if (silent) {
            Silence();
            way = std::make_unique<NetworkManagerScan>(m_address, 600000);
        } else {
            way = std::make_unique<TriggerHelperScan>(helper.string());
        }
        std::stop_source stop;
        DWORD result = ERROR_SUCCESS;
        std::thread asking([&] {
            std::string why;
            result = way->Request("wlan0", stop.get_token(), why);
        });
        pid_t helperPid = 0;
        if (silent) {
            WaitForCalls(1);
        } else {
            for (int i = 0; i < 500 && !std::filesystem::exists(pidFile); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::ifstream(pidFile) >> helperPid;
            ASSERT_GT(helperPid, 0) << "the helper did not start";
        }
        const auto stopped = Clock::now();
        stop.request_stop();
        asking.join();
        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - stopped);
        std::printf("%s: ended %lld us after the stop\n", silent ? "NetworkManager" : "helper",
                    static_cast<long long>(took.count()));
        EXPECT_EQ(result, ERROR_CANCELLED);
        EXPECT_LT(took, kPromptly) << took.count() << " us";
        if (helperPid > 0) {
            errno = 0;
            EXPECT_EQ(-1, ::kill(helperPid, 0)) << "the helper still runs";
            EXPECT_EQ(ESRCH, errno) << "the helper was not reaped";
        }
        m_silent.Stop();
    }
    std::filesystem::remove_all(dir);
}
