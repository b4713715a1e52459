// The large view's click as the user hears it: the main window on a fake
// radio, worked with taps through Qt (a row and "Go large", the view, the
// Suspend button, the tabs), its click played on a private PulseAudio
// server's null sink and measured from what the sink recorded.
#include "app/Globals.h"
#include "catalogue/ApList.h"
#include "pages/GuideTone.h"
#include "pages/ScannerDlg.h"
#include "platform/Testing.h"
#include "platform/TestingWidgets.h"
#include "platform/core/Menu.h"
#include "tests/e2e/MainWindowFixture.h"
#include "tests/support/FakeProvider.h"
#include "tests/support/PulseServer.h"

#include <QAbstractItemView>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>
#include <string>

namespace {

using platform::testing::WidgetOf;

class LargeViewTone : public MainWindowTest {
protected:
    // One server for the whole program: the audio back end connects to the
    // first it finds and stays with it.
    static void SetUpTestSuite()
    {
        s_server = std::make_unique<PulseServer>();
        s_problem = s_server->StartRecorded();
    }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(s_problem.empty()) << s_problem;
        g_settings.SetValue(SettingSoundOff, 0);
        m_radio->interfaces = {"stored0"};
        m_radio->wireless = {{"stored0", true}};
        platform::SetWirelessProvider(m_radio);
        m_followed.bssid = {2, 0, 0, 0, 0, 1};
        m_followed.ssid = {'N', '1'};
        m_followed.frequencyMhz = 2437;
        Open();
        Follow(-30, 400);
        GoLarge();
    }
    void TearDown() override
    {
        platform::core::SetMenuChooser(nullptr);
        MainWindowTest::TearDown();
        g_settings.SetValue(SettingSoundOff, 1);
        g_apList.Clear();
        Wait(300);  // the last ticks die away
    }

    CScannerDlg& Scanner() const { return *m_dialog->GetScannerPage(); }

    static void Wait(int milliseconds) { s_server->RunEvents(milliseconds); }

    // The radio hears the followed network at `rssi` from now on.
    void Hear(LONG rssi)
    {
        m_followed.rssiDbm = rssi;
        m_radio->networks = {m_followed};
    }
    // Scans that hear the followed network at `rssi`, five a second, for
    // `milliseconds`.
    void Follow(LONG rssi, int milliseconds)
    {
        Hear(rssi);
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 200) {
            ScanTick();
            Wait(200);
        }
    }

    void Tap(HWND window, QPoint at)
    {
        QTest::mouseClick(WidgetOf(window), Qt::LeftButton, Qt::NoModifier, at);
        Wait(60);
    }
    // A tap on the first row of the list and "Go large" from its popup.
    void GoLarge()
    {
        platform::core::SetMenuChooser([](HMENU, POINT) { return static_cast<UINT>(ID_GO_LARGE); });
        auto* table = WidgetOf(Scanner().GetDlgItemHwnd(IDC_NETWORK_LIST))->findChild<QTableView*>();
        ASSERT_NE(table, nullptr);
        const QRect row = table->visualRect(table->model()->index(0, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        Wait(60);
        ASSERT_TRUE(Scanner().IsLargeViewShown());
    }
    void Leave()
    {
        Tap(Scanner().m_hWnd, QPoint(20, 20));
        ASSERT_FALSE(Scanner().IsLargeViewShown());
    }
    void TapSuspend()
    {
        RECT r{};
        m_dialog->m_suspendButton.GetClientRect(&r);
        Tap(m_dialog->m_suspendButton.m_hWnd, QPoint(r.right / 2, r.bottom / 2));
    }
    void TapTab(int index)
    {
        const POINT at = TabPoint(index);
        ASSERT_GE(at.x, 0) << "tab " << index << " not on the strip";
        Tap(m_dialog->m_tabs.m_hWnd, QPoint(at.x, at.y));
        ASSERT_EQ(m_dialog->m_tabs.GetCurSel(), index);
    }

    static inline std::unique_ptr<PulseServer> s_server;
    static inline std::string s_problem;
    std::shared_ptr<FakeProvider> m_radio = std::make_shared<FakeProvider>();
    platform::WirelessBss m_followed;
};

// However often the view is left and opened again, suspended and resumed,
// or left for another tab, the click comes back at once and at the pace of
// the signal heard.
TEST_F(LargeViewTone, ClickKeepsItsPaceThroughTwentyOpenings)
{
    struct Way {
        const char* name;
        std::function<void()> away;
        std::function<void()> back;
    };
    const Way ways[] = {
        {"the view left and opened again", [this] { Leave(); }, [this] { GoLarge(); }},
        {"suspended and resumed", [this] { TapSuspend(); }, [this] { TapSuspend(); }},
        {"another tab and back", [this] { TapTab(1); }, [this] { TapTab(0); }},
    };
    for (int opening = 1; opening <= 20; ++opening) {
        const Way& way = ways[opening % 3];
        const LONG rssi = opening % 2 == 0 ? -30 : -60;
        SCOPED_TRACE(std::to_string(opening) + ": " + way.name + " at " + std::to_string(rssi) + " dBm");
        way.away();
        // The list, shown again, reads its scans of every channel.
        if (!Scanner().IsLargeViewShown())
            Follow(rssi, 200);
        Wait(300);
        const std::size_t back = s_server->Collect();
        way.back();
        ASSERT_TRUE(Scanner().IsLargeViewShown());
        // Ticks at once, before any scan of the view's own.
        Wait(600);
        EXPECT_FALSE(s_server->Onsets(back).empty()) << "silent until the next scan";
        // The first ticks at a new rate are left out: the old rate's last
        // interval ends among them.
        Follow(rssi, 400);
        const std::size_t from = s_server->Collect();
        Follow(rssi, rssi == -30 ? 1000 : 1600);
        const double expected = CGuideTone::RateFor(rssi) / 1000.0;
        EXPECT_NEAR(s_server->ClickRate(from), expected, expected * 0.1);
    }
}

}  // namespace
