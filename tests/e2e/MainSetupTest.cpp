// The main window as it opens: its tabs and pages, its buttons, the adapter
// list filled from the radio, the adapter choice, and the layout on a
// portrait and on a landscape screen.
#include "app/Globals.h"
#include "app/MainApp.h"
#include "app/MainDlg.h"
#include "catalogue/ApList.h"
#include "controls/ColoredDlg.h"
#include "pages/ChannelsDlg.h"
#include "pages/OptionsDlg.h"
#include "pages/ScannerDlg.h"
#include "platform/Testing.h"
#include "platform/TestingWidgets.h"
#include "platform/core/ComboBox.h"
#include "platform/core/WinApp.h"
#include "platform/devices/SimulatedProvider.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "tests/e2e/MainWindowFixture.h"
#include "tests/support/FakeProvider.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The simulated radio, remembering which adapter every read and every scan
// request named.
std::shared_ptr<FakeProvider> UseRadio(const char* scenario)
{
    std::string error;
    auto radio = UseSimulatedRadio(scenario, error);
    EXPECT_TRUE(radio) << error;
    return radio;
}

// Wireless B1 reported before A1; each hears a network of its own.
const char* kTwoAdapters = R"(
adapter B1 wireless
adapter eth0 wired
adapter A1 wireless
network 02:00:00:00:00:0a ssid="HeardByA" channel=1 adapter=A1 signal=0:-50
network 02:00:00:00:00:0b ssid="HeardByB" channel=6 adapter=B1 signal=0:-60
)";

CString Adapter()
{
    CString adapter;
    g_settings.GetString(SettingAdapter, adapter);
    return adapter;
}

// The adapter list's entries in their order, and the selected one.
std::vector<CString> Entries(COptionsDlg* page)
{
    std::vector<CString> entries;
    const HWND list = page->GetDlgItemHwnd(IDC_ADAPTER_LIST);
    const auto count = static_cast<int>(::SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        WCHAR text[64] = {};
        ::SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
    }
    return entries;
}

int Selected(COptionsDlg* page)
{
    return static_cast<int>(::SendMessageW(page->GetDlgItemHwnd(IDC_ADAPTER_LIST), CB_GETCURSEL, 0, 0));
}

// The user steps the adapter list one entry down with the keyboard.
void PickNextAdapter(COptionsDlg* page)
{
    QWidget* list = platform::testing::WidgetOf(page->GetDlgItemHwnd(IDC_ADAPTER_LIST));
    ASSERT_NE(list, nullptr);
    auto* box = list->findChild<QComboBox*>();
    if (box == nullptr)
        box = qobject_cast<QComboBox*>(list);
    ASSERT_NE(box, nullptr);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
}

RECT ScreenRect(CWnd& window)
{
    RECT rect{};
    window.GetWindowRect(&rect);
    return rect;
}

class MainSetup : public MainWindowTest {
protected:
    COptionsDlg* Options() const { return m_dialog->GetOptionsPage(); }

    // The page covers the container's page area.
    void ExpectInPageArea(CWnd& page)
    {
        RECT area{};
        m_dialog->m_tabs.GetClientRect(&area);
        m_dialog->m_tabs.AdjustRect(FALSE, &area);
        const RECT tabs = ScreenRect(m_dialog->m_tabs);
        const RECT r = ScreenRect(page);
        EXPECT_EQ(r.left, tabs.left + area.left);
        EXPECT_EQ(r.top, tabs.top + area.top);
        EXPECT_EQ(r.right, tabs.left + area.right);
        EXPECT_EQ(r.bottom, tabs.top + area.bottom);
    }
};

TEST_F(MainSetup, AdaptersAreListedSortedAndTheFirstIsSelectedAndStored)
{
    struct Case {
        const char* scenario;
        std::vector<CString> entries;
        CString stored;
    };
    const Case cases[] = {
        {kTwoAdapters, {u"A1", u"B1"}, u"A1"},
        {"adapter wlan7 wireless\n", {u"wlan7"}, u"wlan7"},
        // No wireless adapter: the list stays empty and the stored name is
        // what gets scanned.
        {"adapter eth0 wired\n", {}, u"stored0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        auto radio = UseRadio(c.scenario);
        g_settings.SetString(SettingAdapter, u"stored0");
        Open();
        EXPECT_EQ(Entries(Options()), c.entries);
        EXPECT_EQ(Selected(Options()), c.entries.empty() ? CB_ERR : 0);
        EXPECT_EQ(Adapter(), c.stored);
        ScanTick();
        ASSERT_EQ(radio->read.size(), 1u);
        EXPECT_EQ(CString(radio->read[0].begin(), radio->read[0].end()), c.stored);
        Close();
    }
}

TEST_F(MainSetup, AnotherAdapterChosenIsScannedFromTheNextTick)
{
    auto radio = UseRadio(kTwoAdapters);
    Open();
    ScanTick();
    PickNextAdapter(Options());
    EXPECT_EQ(Adapter(), u"B1");
    ScanTick();
    EXPECT_EQ(radio->read, (std::vector<std::string>{"A1", "B1"}));
    EXPECT_EQ(radio->triggered, (std::vector<std::string>{"A1", "B1"}));
    // The catalogue keeps what the first adapter heard.
    LONG total = 0, active = 0;
    g_apList.BuildDisplayList(total, active);
    EXPECT_EQ(total, 2);
}

TEST_F(MainSetup, TabsHoldTheScannerPageShownAndTheOtherPagesHidden)
{
    UseRadio(kTwoAdapters);
    Open();
    EXPECT_TRUE(m_dialog->m_tabs.IsWindowVisible());
    EXPECT_EQ(m_dialog->m_tabs.GetItemCount(), 3);
    EXPECT_EQ(m_dialog->m_tabs.GetCurSel(), 0);
    EXPECT_EQ(m_dialog->m_tabs.GetPage(0), m_dialog->GetScannerPage());
    EXPECT_EQ(m_dialog->m_tabs.GetPage(1), Options());
    EXPECT_EQ(m_dialog->m_tabs.GetPage(2), m_dialog->GetChannelsPage());
    EXPECT_TRUE(m_dialog->GetScannerPage()->IsWindowVisible());
    EXPECT_FALSE(Options()->IsWindowVisible());
    EXPECT_FALSE(m_dialog->GetChannelsPage()->IsWindowVisible());
    // The options page reaches the scanner page through the main window.
    EXPECT_EQ(static_cast<CPageOwner*>(m_dialog.get())->GetScannerPage(), m_dialog->GetScannerPage());

    ExpectInPageArea(*m_dialog->GetScannerPage());

    // A tap on the "Options" tab shows the options page there instead.
    int x = 0;
    RECT strip{};
    m_dialog->m_tabs.GetClientRect(&strip);
    const int y = 8;
    while (x < strip.right && m_dialog->m_tabs.HitTest(x, y) != 1)
        ++x;
    ASSERT_LT(x, strip.right);
    m_dialog->m_tabs.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x + 2, y));
    m_dialog->m_tabs.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x + 2, y));
    EXPECT_EQ(m_dialog->m_tabs.GetCurSel(), 1);
    EXPECT_FALSE(m_dialog->GetScannerPage()->IsWindowVisible());
    EXPECT_TRUE(Options()->IsWindowVisible());
    ExpectInPageArea(*Options());
}

TEST_F(MainSetup, ButtonsHaveGradientFacesAndSuspendNamesTheNextStep)
{
    UseRadio(kTwoAdapters);
    Open();
    const COLORREF caption = GetSysColor(COLOR_ACTIVECAPTION);
    for (CCustomButton* button : {&m_dialog->m_exitButton, &m_dialog->m_suspendButton}) {
        const HWND window = button->m_hWnd;
        ::UpdateWindow(window);
        RECT client{};
        ::GetClientRect(window, &client);
        HDC dc = ::GetDC(window);
        // Inside the frame the face runs from the caption colour at the top
        // towards light grey at the bottom.
        const COLORREF top = GetPixel(dc, 3, 2);
        const COLORREF bottom = GetPixel(dc, 3, client.bottom - 3);
        ::ReleaseDC(window, dc);
        auto distance = [](COLORREF a, COLORREF b) {
            return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
                   std::abs(GetBValue(a) - GetBValue(b));
        };
        const COLORREF grey = RGB(200, 200, 200);
        EXPECT_LT(distance(top, caption), 12) << std::hex << top;
        EXPECT_LT(distance(bottom, grey), distance(bottom, caption)) << std::hex << bottom;
    }
    EXPECT_EQ(m_dialog->m_exitButton.GetWindowText(), u"Exit");
    EXPECT_EQ(m_dialog->m_suspendButton.GetWindowText(), u"Suspend");

    // A tap on Suspend suspends and makes it read "Resume"; another resumes.
    for (const char16_t* expected : {u"Resume", u"Suspend"}) {
        m_dialog->m_suspendButton.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        m_dialog->m_suspendButton.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(m_dialog->m_suspendButton.GetWindowText(), expected);
        const bool suspended = CString(expected) == u"Resume";
        EXPECT_EQ(Period(CMainDlg::kScanTimer), suspended ? 0u : 1000u);
    }
}

// The layout in the template's dialog units, from the dialog's base units.
RECT TemplateRect(CWnd& dialog, int x, int y, int cx, int cy)
{
    RECT rect{x, y, x + cx, y + cy};
    ::MapDialogRect(dialog.m_hWnd, &rect);
    return rect;
}

RECT ClientRect(CWnd& dialog, CWnd& control)
{
    RECT rect = ScreenRect(control);
    POINT corners[2]{{rect.left, rect.top}, {rect.right, rect.bottom}};
    dialog.ScreenToClient(&corners[0]);
    dialog.ScreenToClient(&corners[1]);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void ExpectRect(const RECT& actual, const RECT& expected, const char* what)
{
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

TEST_F(MainSetup, PortraitScreenKeepsTheTemplateLayout)
{
    UseRadio(kTwoAdapters);
    Open();
    ExpectRect(ClientRect(*m_dialog, m_dialog->m_exitButton), TemplateRect(*m_dialog, 7, 125, 50, 14), "Exit");
    ExpectRect(ClientRect(*m_dialog, m_dialog->m_suspendButton), TemplateRect(*m_dialog, 100, 125, 49, 14), "Suspend");
    ExpectRect(ClientRect(*m_dialog, m_dialog->m_activityIcon), TemplateRect(*m_dialog, 68, 122, 21, 20), "icon");
}

TEST_F(MainSetup, LandscapeScreenMovesTheButtonsAndTheIconBesideTheTabs)
{
    UseRadio(kTwoAdapters);
    platform::core::SetScreenSize(320, 240);
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    Open();

    // Where the template put them, on the screen of the dialog as it was
    // first placed (filling the work area from its top-left corner).
    auto before = [&](int x, int y, int cx, int cy) {
        const RECT r = TemplateRect(*m_dialog, x, y, cx, cy);
        return RECT{r.left + work.left, r.top + work.top, r.right + work.left, r.bottom + work.top};
    };
    const RECT exit = before(7, 125, 50, 14);
    const RECT suspend = before(100, 125, 49, 14);
    const RECT icon = before(68, 122, 21, 20);
    ExpectRect(ClientRect(*m_dialog, m_dialog->m_exitButton),
               RECT{exit.top + 15, exit.left + 55, exit.top + 15 + (exit.right - exit.left) - 15,
                    exit.left + 55 + (exit.bottom - exit.top)},
               "Exit");
    ExpectRect(ClientRect(*m_dialog, m_dialog->m_suspendButton),
               RECT{suspend.top + 15, suspend.left, suspend.top + 15 + (suspend.right - suspend.left) - 15,
                    suspend.left + (suspend.bottom - suspend.top)},
               "Suspend");
    ExpectRect(
        ClientRect(*m_dialog, m_dialog->m_activityIcon),
        RECT{icon.top + 30, icon.left, icon.top + 30 + (icon.right - icon.left), icon.left + (icon.bottom - icon.top)},
        "icon");
    // The window covers the work area; the tab container stays put.
    ExpectRect(ScreenRect(*m_dialog), work, "window");
    ExpectRect(ClientRect(*m_dialog, m_dialog->m_tabs), TemplateRect(*m_dialog, 3, 4, 155, 107), "tabs");
}

// A temporary settings folder for the whole program's run.
class ConfigFolder {
public:
    ConfigFolder()
    {
        char pattern[] = "/tmp/tarvolin-setup-XXXXXX";
        m_root = mkdtemp(pattern);
        setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
    }
    ~ConfigFolder() { fs::remove_all(m_root); }
    std::string Read() const
    {
        std::ifstream in(m_root / "tarvolin" / "registry.reg", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    fs::path m_root;
};

TEST(MainSetupRun, TheAdapterChosenDuringTheRunIsSavedAtExit)
{
    ConfigFolder folder;
    auto radio = UseRadio(kTwoAdapters);
    platform::core::HoldTimers(true);
    platform::RunWhenMainWindowRuns([] {
        auto* main = dynamic_cast<CMainDlg*>(AfxGetApp()->m_pMainWnd);
        ASSERT_NE(main, nullptr);
        PickNextAdapter(main->GetOptionsPage());
        main->SendMessage(WM_TIMER, CMainDlg::kScanTimer, 0);
        main->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED), 0);
    });
    EXPECT_TRUE(theApp.InitInstance());
    EXPECT_EQ(radio->read, (std::vector<std::string>{"B1"}));
    EXPECT_NE(folder.Read().find("\"Adapter\"=\"B1\""), std::string::npos) << folder.Read();
    platform::SetWirelessProvider(nullptr);
}

}  // namespace
