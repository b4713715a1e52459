#include "catalogue/ApList.h"
#include "pages/OptionsDlg.h"
#include "pages/PageOwner.h"
#include "pages/ScannerDlg.h"
#include "platform/Testing.h"
#include "platform/TestingWidgets.h"
#include "platform/core/Menu.h"
#include "platform/core/MessageBox.h"
#include "platform/gdi/Gdi.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

extern CSettings g_settings;
extern CLanguage g_language;
extern CApList g_apList;

namespace {

constexpr UINT kThumbTrack = 5;  // the slider's tracking notification

class ProbeOptions : public COptionsDlg {
public:
    using COptionsDlg::m_aboutButton;
    using COptionsDlg::m_adapterList;
    using COptionsDlg::m_flagBitmaps;
    using COptionsDlg::m_fontSizeSlider;
    using COptionsDlg::m_hidePeersButton;
    using COptionsDlg::m_hideSecuredButton;
    using COptionsDlg::m_languageButton;
    using COptionsDlg::m_soundButton;
    using COptionsDlg::m_speedSlider;
    using COptionsDlg::m_speedText;
    HBITMAP ShownFlag() const { return m_shownFlag; }
};

class ProbeScanner : public CScannerDlg {
public:
    using CScannerDlg::m_fontSize;
    using CScannerDlg::m_list;
};

// The main window as far as the page sees it: it holds the scanner page and
// hears the commands the page passes on.
class Owner : public CWnd, public CPageOwner {
public:
    CScannerDlg* GetScannerPage() override { return m_scanner; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.push_back({wParam, lParam});
        return CWnd::WindowProc(message, wParam, lParam);
    }
    ProbeScanner* m_scanner = nullptr;
    std::vector<std::pair<WPARAM, LPARAM>> commands;
};

struct Box {
    std::u16string text;
    UINT flags;
};

class OptionsPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_language.SelectLanguage(0);
        const LONG defaults[] = {12, 2, 0, 0, 1, 0};
        for (int i = 0; i < CSettings::kNumberCount; ++i)
            g_settings.SetValue(i, defaults[i]);
        g_apList.Clear();
        m_boxes.clear();
        m_answer = IDNO;
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"OptionsHost";
        RegisterClassW(&wc);
        HWND host = CreateWindowExW(0, u"OptionsHost", u"", WS_VISIBLE, 0, 0, 240, 268, nullptr, 0, nullptr, nullptr);
        m_owner.SubclassWindow(host);
        m_scanner = new ProbeScanner;
        ASSERT_TRUE(m_scanner->Create(IDD_SCANNER_PAGE, &m_owner));
        m_owner.m_scanner = m_scanner;
        platform::core::SetMessageBoxAnswerer([this](const std::u16string& text, UINT flags) {
            m_boxes.push_back({text, flags});
            return m_answer;
        });
    }

    void TearDown() override
    {
        platform::core::SetMenuChooser(nullptr);
        platform::core::SetMessageBoxAnswerer({});
        if (m_page != nullptr)
            m_page->DestroyWindow();
        delete m_page;
        m_page = nullptr;
        m_owner.m_scanner = nullptr;
        delete m_scanner;
        m_scanner = nullptr;
        DestroyWindow(m_owner.UnsubclassWindow());
    }

    // Creates the page as the main window does, after the settings are set.
    ProbeOptions& Page()
    {
        m_page = new ProbeOptions;
        EXPECT_TRUE(m_page->Create(IDD_OPTIONS_PAGE, &m_owner));
        m_page->SetBackColor(CaptionTint());
        m_page->SetTextColor(RGB(0, 0, 0));
        m_page->ShowWindow(SW_SHOW);
        return *m_page;
    }

    static LONG Setting(int index)
    {
        LONG value = -99;
        g_settings.GetValue(index, value);
        return value;
    }

    CString ItemText(int id) const
    {
        WCHAR text[64] = {};
        GetWindowTextW(m_page->GetDlgItemHwnd(id), text, 64);
        return text;
    }

    void Slide(CCustomSlider& slider, UINT position)
    {
        m_page->SendMessage(WM_HSCROLL, MAKEWPARAM(kThumbTrack, static_cast<int>(position)),
                            reinterpret_cast<LPARAM>(slider.m_hWnd));
    }

    static void Tap(CWnd& control)
    {
        control.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        control.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        platform::testing::ProcessEvents();
    }

    // Fills the scanner page's list with one network.
    // A secured peer network: either hide filter takes it off the list.
    void ListOneNetwork()
    {
        ScanEntry e{};
        const BYTE mac[6] = {2, 0, 0, 0, 0, 1};
        std::memcpy(e.mac, mac, 6);
        e.ssid[0] = u'N';
        e.rssi = -50;
        e.channel = 6;
        e.infrastructureMode = 0;
        e.privacy = 1;
        g_apList.Merge(&e, 1);
        m_scanner->Refresh();
        ASSERT_EQ(m_scanner->m_list.GetItemCount(), 1);
    }

    // The rows of the font size square that hold anything but the page's
    // background: the height of the number as drawn.
    int NumberInkHeight() const
    {
        const SIZE image = platform::testing::ImageSize(m_page->m_hWnd);
        const COLORREF tint = CaptionTint();
        const COLORREF back = RGB(GetRValue(tint), GetGValue(tint), GetBValue(tint));
        int rows = 0;
        for (int y = 67; y < 92 && y < image.cy; ++y)
            for (int x = 175; x < 200 && x < image.cx; ++x)
                if (platform::testing::ImagePixel(m_page->m_hWnd, x, y) != back) {
                    ++rows;
                    break;
                }
        return rows;
    }

    Owner m_owner;
    ProbeScanner* m_scanner = nullptr;
    ProbeOptions* m_page = nullptr;
    std::vector<Box> m_boxes;
    int m_answer = IDNO;
};

TEST_F(OptionsPage, StoredValuesShowWithinTheSlidersRanges)
{
    struct Case {
        LONG stored;
        UINT shown;
        const char16_t* name;  // for the speed slider
    };
    const Case speeds[] = {{1, 1, u"Fastest"}, {3, 3, u"Normal"}, {5, 5, u"Slowest"},
                           {9, 2, u"Fast"},    {0, 2, u"Fast"},   {-1, 2, u"Fast"}};
    for (const Case& c : speeds) {
        SCOPED_TRACE(c.stored);
        g_settings.SetValue(SettingScanSpeed, c.stored);
        ProbeOptions& page = Page();
        EXPECT_EQ(page.m_speedSlider.GetPos(), c.shown);
        EXPECT_EQ(ItemText(IDC_SPEED_TEXT), c.name);
        // The fastest speed sits at the right end, the slowest at the left
        // (80-pixel slider, 20-pixel thumb).
        EXPECT_EQ(page.m_speedSlider.Scale().ThumbCentre(page.m_speedSlider.GetPos()), 70 - 15 * (c.shown - 1));
        // Showing is not storing: the value stays until the slider moves.
        EXPECT_EQ(Setting(SettingScanSpeed), c.stored);
        TearDown();
        SetUp();
    }
    const Case fonts[] = {{15, 15, nullptr}, {25, 12, nullptr}, {-3, 12, nullptr}, {5, 10, nullptr}};
    for (const Case& c : fonts) {
        SCOPED_TRACE(c.stored);
        g_settings.SetValue(SettingFontSize, c.stored);
        ProbeOptions& page = Page();
        EXPECT_EQ(page.m_fontSizeSlider.GetPos(), c.shown);
        // Small sizes at the left end.
        EXPECT_EQ(page.m_fontSizeSlider.Scale().ThumbCentre(page.m_fontSizeSlider.GetPos()),
                  10 + 6 * static_cast<int>(c.shown - 10));
        EXPECT_EQ(Setting(SettingFontSize), c.stored);
        TearDown();
        SetUp();
    }
}

TEST_F(OptionsPage, LabelsAndSpeedNameComeInTheLanguageOfTheStart)
{
    struct Case {
        int language;
        std::u16string adapter, speed, fontSize, speedName;
    };
    const Case cases[] = {
        {0, u"Use adapter:", u"Scan speed:", u"List font size:", u"Fast"},
        {6, u"Adapter:", u"Scan Geschw.:", u"Fontgr. f. Liste:", u"Schnell"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        g_language.SelectLanguage(c.language);
        Page();
        EXPECT_EQ(ItemText(IDC_ADAPTER_LABEL), c.adapter);
        EXPECT_EQ(ItemText(IDC_SPEED_LABEL), c.speed);
        EXPECT_EQ(ItemText(IDC_FONT_SIZE_LABEL), c.fontSize);
        EXPECT_EQ(ItemText(IDC_SPEED_TEXT), c.speedName);
        TearDown();
        SetUp();
    }
}

TEST_F(OptionsPage, ControlsTakeTheirRunTimeSizes)
{
    ProbeOptions& page = Page();
    RECT speed;
    page.m_speedSlider.GetWindowRect(&speed);
    EXPECT_EQ(speed.right - speed.left, 80);
    EXPECT_EQ(speed.bottom - speed.top, 30);
    RECT fontSize;
    page.m_fontSizeSlider.GetWindowRect(&fontSize);
    EXPECT_EQ(fontSize.right - fontSize.left, 80);
    EXPECT_EQ(fontSize.bottom - fontSize.top, 30);
    // Each keeps the top-left corner the template gives it.
    RECT fromTemplate{57, 23, 57 + 56, 23 + 18};
    MapDialogRect(page.m_hWnd, &fromTemplate);
    POINT topLeft{speed.left, speed.top};
    page.ScreenToClient(&topLeft);
    EXPECT_EQ(topLeft.x, fromTemplate.left);
    EXPECT_EQ(topLeft.y, fromTemplate.top);

    RECT list;
    page.m_adapterList.GetWindowRect(&list);
    EXPECT_EQ(list.bottom - list.top, 6 * page.m_adapterList.GetItemHeight(0));
}

TEST_F(OptionsPage, SpeedDragStoresAndNamesEveryStep)
{
    ProbeOptions& page = Page();
    const char16_t* names[] = {u"Fastest", u"Fast", u"Normal", u"Slow", u"Slowest"};
    for (UINT p : {5u, 4u, 3u, 2u, 1u}) {
        SCOPED_TRACE(p);
        Slide(page.m_speedSlider, p);
        EXPECT_EQ(Setting(SettingScanSpeed), static_cast<LONG>(p));
        EXPECT_EQ(ItemText(IDC_SPEED_TEXT), names[p - 1]);
    }
    // Notifications from anything but the page's own sliders change nothing.
    page.SendMessage(WM_HSCROLL, MAKEWPARAM(kThumbTrack, 4), reinterpret_cast<LPARAM>(page.m_adapterList.m_hWnd));
    page.SendMessage(WM_HSCROLL, MAKEWPARAM(kThumbTrack, 4), 0);
    EXPECT_EQ(Setting(SettingScanSpeed), 1);
    EXPECT_EQ(ItemText(IDC_SPEED_TEXT), u"Fastest");
}

TEST_F(OptionsPage, FontSizeDragStoresRedrawsAndTellsTheScannerPage)
{
    ProbeOptions& page = Page();
    platform::testing::ProcessEvents();
    int previousInk = 0;
    for (UINT p : {10u, 14u, 20u}) {
        SCOPED_TRACE(p);
        page.m_fontSizeSlider.SetPos(p);
        Slide(page.m_fontSizeSlider, p);
        EXPECT_EQ(Setting(SettingFontSize), static_cast<LONG>(p));
        EXPECT_EQ(m_scanner->m_fontSize, static_cast<LONG>(p));
        // The number is drawn at once, larger for a larger size.
        const int ink = NumberInkHeight();
        EXPECT_GT(ink, previousInk);
        previousInk = ink;
    }
    // A repaint of the page draws the number again.
    page.Invalidate();
    page.UpdateWindow();
    EXPECT_EQ(NumberInkHeight(), previousInk);
}

TEST_F(OptionsPage, TogglesStoreTheirStateAndFilterTheListAtOnce)
{
    struct Case {
        const char* name;
        CCustomButton ProbeOptions::*button;
        int setting;
        const char16_t* checkedCaption;
        const char16_t* normalCaption;
        bool hidesTheNetwork;
    };
    const Case cases[] = {
        {"peers", &ProbeOptions::m_hidePeersButton, SettingHidePeer, u"Hide peers", u"Show peers", true},
        {"secured", &ProbeOptions::m_hideSecuredButton, SettingHideWEP, u"Hide secure", u"Show secure", true},
        {"sound", &ProbeOptions::m_soundButton, SettingSoundOff, u"Sound off", u"Sound on", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_settings.SetValue(c.setting, 0);
        ProbeOptions& page = Page();
        CCustomButton& button = page.*(c.button);
        EXPECT_EQ(button.GetWindowText(), c.normalCaption);
        ListOneNetwork();
        Tap(button);
        EXPECT_EQ(Setting(c.setting), 1);
        EXPECT_EQ(button.GetWindowText(), c.checkedCaption);
        EXPECT_EQ(m_scanner->m_list.GetItemCount(), c.hidesTheNetwork ? 0 : 1);
        Tap(button);
        EXPECT_EQ(Setting(c.setting), 0);
        EXPECT_EQ(m_scanner->m_list.GetItemCount(), 1);
        EXPECT_EQ(button.GetWindowText(), c.normalCaption);
        TearDown();
        SetUp();
    }
}

TEST_F(OptionsPage, SoundOffByDefaultShowsTheSoundButtonChecked)
{
    ProbeOptions& page = Page();
    EXPECT_EQ(page.m_soundButton.SendMessage(BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(page.m_soundButton.GetWindowText(), u"Sound off");
    EXPECT_EQ(page.m_hidePeersButton.SendMessage(BM_GETCHECK), BST_UNCHECKED);
}

TEST_F(OptionsPage, WithoutAnOwnerTheSettingsAreStillStored)
{
    m_page = new ProbeOptions;
    ASSERT_TRUE(m_page->Create(IDD_OPTIONS_PAGE, nullptr));
    Slide(m_page->m_fontSizeSlider, 18);
    Tap(m_page->m_hidePeersButton);
    EXPECT_EQ(Setting(SettingFontSize), 18);
    EXPECT_EQ(Setting(SettingHidePeer), 1);
}

TEST_F(OptionsPage, AboutBoxNamesTheProgramAndItsPage)
{
    ProbeOptions& page = Page();
    m_answer = IDOK;
    Tap(page.m_aboutButton);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, u"Tarvolin 1.2\nFree WiFi scanner\nhttps://tarvolin.org");
    EXPECT_EQ(m_boxes[0].flags, MB_OK | MB_ICONINFORMATION);
}

TEST_F(OptionsPage, LanguagePopupOffersTheOtherLanguages)
{
    const std::u16string all[] = {u"Deutsch",
                                  u"English",
                                  u"Fran\u00E7ais",
                                  u"Magyar",
                                  u"Polski",
                                  u"Portugu\u00EAs",
                                  u"P\u0443\u0441\u0441\u043A\u0438\u0439"};
    // The entry each Language value leaves out; unknown values count as
    // English.
    const struct {
        LONG language;
        std::u16string missing;
    } cases[] = {{0, u"English"},       {1, u"Magyar"},         {2, u"Polski"},
                 {3, u"Fran\u00E7ais"}, {4, u"Portugu\u00EAs"}, {5, u"P\u0443\u0441\u0441\u043A\u0438\u0439"},
                 {6, u"Deutsch"},       {42, u"English"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        g_settings.SetValue(SettingLanguage, c.language);
        ProbeOptions& page = Page();
        std::vector<std::u16string> offered;
        POINT shownAt{};
        platform::core::SetMenuChooser([&](HMENU popup, POINT at) -> UINT {
            shownAt = at;
            for (int i = 0; i < GetMenuItemCount(popup); ++i) {
                WCHAR text[32] = {};
                GetMenuStringW(popup, static_cast<UINT>(i), text, 32, MF_BYPOSITION);
                offered.push_back(text);
            }
            return 0;
        });
        Tap(page.m_languageButton);
        std::vector<std::u16string> expected;
        for (const auto& name : all)
            if (name != c.missing)
                expected.push_back(name);
        EXPECT_EQ(offered, expected);
        RECT button;
        page.m_languageButton.GetWindowRect(&button);
        EXPECT_EQ(shownAt.x, button.left);
        EXPECT_EQ(shownAt.y, button.top);
        EXPECT_TRUE(m_boxes.empty());
        TearDown();
        SetUp();
    }
}

TEST_F(OptionsPage, FrenchShowsTheFrenchFlag)
{
    g_settings.SetValue(SettingLanguage, 3);
    ProbeOptions& page = Page();
    EXPECT_EQ(page.ShownFlag(), page.m_flagBitmaps[1]);
}

TEST_F(OptionsPage, LanguageChangeAsksAndStoresOnlyOnYes)
{
    struct Case {
        const char* name;
        UINT command;
        int answer;
        LONG stored;
        std::vector<std::u16string> boxes;
    };
    const std::u16string restart = u"Program language changed. Restart the application for the change to take effect.";
    const Case cases[] = {
        {"no", ID_LANGUAGE_GERMAN, IDNO, 3, {u"Are you sure you want to change program language to german?"}},
        {"yes",
         ID_LANGUAGE_GERMAN,
         IDYES,
         6,
         {u"Are you sure you want to change program language to german?", restart}},
        {"yes to hungarian",
         ID_LANGUAGE_HUNGARIAN,
         IDYES,
         1,
         {u"Are you sure you want to change program language to hungarian?", restart}},
        {"yes to portuguese",
         ID_LANGUAGE_PORTUGUESE,
         IDYES,
         4,
         {u"Are you sure you want to change program language to portuguese?", restart}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_settings.SetValue(SettingLanguage, 3);
        ProbeOptions& page = Page();
        const HBITMAP flag = page.ShownFlag();
        const CString peersCaption = page.m_hidePeersButton.GetWindowText();
        m_answer = c.answer;
        platform::core::SetMenuChooser([&](HMENU, POINT) { return c.command; });
        Tap(page.m_languageButton);
        EXPECT_EQ(Setting(SettingLanguage), c.stored);
        std::vector<std::u16string> texts;
        for (const Box& box : m_boxes)
            texts.push_back(box.text);
        EXPECT_EQ(texts, c.boxes);
        ASSERT_FALSE(m_boxes.empty());
        EXPECT_EQ(m_boxes[0].flags, MB_YESNO | MB_ICONQUESTION);
        if (m_boxes.size() > 1) {
            EXPECT_EQ(m_boxes[1].flags, MB_OK | MB_ICONINFORMATION);
        }
        // The page keeps its language and flag until the next start.
        EXPECT_EQ(page.ShownFlag(), flag);
        EXPECT_EQ(page.m_hidePeersButton.GetWindowText(), peersCaption);
        TearDown();
        SetUp();
    }
}

TEST_F(OptionsPage, AdapterPicksGoOnToTheMainWindowUnchanged)
{
    ProbeOptions& page = Page();
    page.m_adapterList.AddString(u"wlan1");
    page.m_adapterList.AddString(u"wlan0");
    page.m_adapterList.SetCurSel(0);
    EXPECT_TRUE(m_owner.commands.empty());
    auto* box = platform::testing::WidgetOf(page.m_adapterList.m_hWnd)->findChild<QComboBox*>();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    ASSERT_EQ(m_owner.commands.size(), 1u);
    EXPECT_EQ(m_owner.commands[0].first, MAKEWPARAM(IDC_ADAPTER_LIST, CBN_SELCHANGE));
    EXPECT_EQ(m_owner.commands[0].second, reinterpret_cast<LPARAM>(page.m_adapterList.m_hWnd));
    EXPECT_EQ(page.m_adapterList.GetWindowText(), u"wlan1");
}

}  // namespace
