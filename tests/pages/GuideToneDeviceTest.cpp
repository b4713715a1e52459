// The large view's click on a real audio output: the page drives a private
// PulseAudio server's null sink, and what the sink plays is recorded and
// measured.
#include "catalogue/ApList.h"
#include "pages/GuideTone.h"
#include "pages/ScannerDlg.h"
#include "platform/core/Window.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "tests/support/NetworkEntry.h"
#include "tests/support/PlainWindow.h"
#include "tests/support/PulseServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

extern CSettings g_settings;
extern CLanguage g_language;
extern CApList g_apList;

namespace {

constexpr int kRate = PulseServer::kRecordRate;

class ProbePage : public CScannerDlg {
public:
    using CScannerDlg::m_selectedNumber;
    using CScannerDlg::OnGoLarge;
};

class GuideToneDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // One server for the whole program: the audio back end connects once.
        s_server = std::make_unique<PulseServer>();
        s_problem = s_server->StartRecorded();
    }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(s_problem.empty()) << s_problem;
        g_language.SelectLanguage(0);
        g_settings.SetValue(SettingSoundOff, 0);
        g_apList.Clear();
        ASSERT_TRUE(CreatePlainWindow(m_parent, RECT{0, 0, 240, 268}, nullptr, WS_VISIBLE));
        ASSERT_TRUE(m_page.Create(IDD_SCANNER_PAGE, &m_parent));
        m_page.ShowWindow(SW_SHOW);
        m_entry = NetworkEntry(7, -60);
        g_apList.Merge(&m_entry, 1);
        m_page.m_selectedNumber = 0;
        m_page.OnGoLarge();
    }
    void TearDown() override
    {
        m_page.DestroyWindow();
        m_parent.DestroyWindow();
        g_settings.SetValue(SettingSoundOff, 1);
        Wait(300);  // the last ticks die away before the next test
    }

    static void Wait(int milliseconds) { s_server->RunEvents(milliseconds); }

    // Scans that hear the followed network at `rssi`, five a second, for
    // `milliseconds`.
    void Follow(LONG rssi, int milliseconds)
    {
        m_entry.rssi = rssi;
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 200) {
            m_page.OnScanCompleted(&m_entry, 1);
            Wait(200);
        }
    }

    static inline std::unique_ptr<PulseServer> s_server;
    static inline std::string s_problem;
    CWnd m_parent;
    ProbePage m_page;
    ScanEntry m_entry{};
};

TEST_F(GuideToneDevice, ClickRateFollowsTheSignal)
{
    struct Case {
        LONG rssi;
        int milliseconds;  // long enough for three intervals or more
    };
    // The sound server's first second of a new stream tells little: the
    // null sink had rendered silence ahead, and its monitor keeps that.
    Follow(-30, 1500);
    for (const Case c : {Case{-90, 4500}, Case{-60, 2000}, Case{-30, 1000}}) {
        SCOPED_TRACE(c.rssi);
        // The first ticks at a new rate are left out: the old rate's last
        // interval ends among them.
        Follow(c.rssi, 400);
        const std::size_t from = s_server->Collect();
        Follow(c.rssi, c.milliseconds);
        const double heard = s_server->ClickRate(from);
        const double expected = CGuideTone::RateFor(c.rssi) / 1000.0;
        EXPECT_NEAR(heard, expected, expected * 0.1);
    }
}

TEST_F(GuideToneDevice, LeavingTheViewSilencesTheClickAtOnce)
{
    Follow(-30, 2500);
    const std::size_t left = s_server->Collect();
    m_page.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Wait(700);
    const std::vector<std::int16_t>& samples = s_server->Samples();
    // It was clicking, ten a second, up to the moment the view was left...
    const std::vector<std::size_t> before = s_server->Onsets(left - std::min<std::size_t>(left, kRate));
    ASSERT_GE(before.size(), 7u);
    // ...and the last sound is less than 100 ms after it.
    std::size_t last = 0;
    for (std::size_t i = left; i < samples.size(); ++i)
        if (std::abs(samples[i]) >= PulseServer::kLoud)
            last = i;
    ASSERT_GT(samples.size(), left + kRate / 2) << "the recording stopped";
    const double after = last > left ? static_cast<double>(last - left) / kRate : 0.0;
    EXPECT_LT(after, 0.1);
    std::printf("last sound %.0f ms after leaving the view\n", after * 1000);
}

}  // namespace
