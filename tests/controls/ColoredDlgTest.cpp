// The coloured dialog: the tint and mix of the caption colours, one answer
// to every kind of colour request, and the brush it owns.
#include "ButtonTestSupport.h"

#include "controls/ColoredDlg.h"
#include "platform/Testing.h"
#include "res/Resource.h"

namespace {

TEST(CaptionColours, TintAndMixWorkOnEachChannelAlone)
{
    struct Case {
        COLORREF in;
        COLORREF tint;
    };
    const Case tints[] = {
        {0x000000, 0x7F7F7F},
        {0x646464, 0xB1B1B1},
        {0xFEFEFE, 0xFEFEFE},
        {0xFFFFFF, 0xFFFFFF},
        // Odd and full channels side by side: nothing carries over.
        {0x00FF01, 0x7FFF80},
        {0xFF00FF, 0xFF7FFF},
        {0x01FE00, 0x80FE7F},
    };
    for (const Case& c : tints)
        EXPECT_EQ(TintOf(c.in), c.tint) << std::hex << c.in;

    struct MixCase {
        COLORREF a, b, mix;
    };
    const MixCase mixes[] = {
        {0x000000, 0xFFFFFF, 0x7F7F7F},
        {0xFF0001, 0x0000FF, 0x7F0080},
        {0x123456, 0x123456, 0x123456},
        {0xFFFFFF, 0xFEFEFE, 0xFEFEFE},
    };
    for (const MixCase& c : mixes) {
        EXPECT_EQ(MixOf(c.a, c.b), c.mix) << std::hex << c.a << " " << c.b;
        EXPECT_EQ(MixOf(c.b, c.a), c.mix) << std::hex << c.b << " " << c.a;
    }

    // Both read the desktop's caption colours when asked.
    const COLORREF caption = GetSysColor(COLOR_ACTIVECAPTION);
    EXPECT_EQ(CaptionTint(), TintOf(caption));
    EXPECT_EQ(CaptionMix(), MixOf(caption, GetSysColor(COLOR_CAPTIONTEXT)));
}

class ProbeColoredDlg : public CColoredDlg {
public:
    ProbeColoredDlg() : CColoredDlg(IDD_SCANNER_PAGE) { }
    using CColoredDlg::m_backBrush;
};

class ColoredDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create(IDD_SCANNER_PAGE, &host));
        dialog.SetBackColor(kBack);
        dialog.SetTextColor(kText);
        dialog.ShowWindow(SW_SHOW);
    }
    void TearDown() override { dialog.DestroyWindow(); }

    static constexpr COLORREF kBack = RGB(30, 140, 200);
    static constexpr COLORREF kText = RGB(200, 10, 60);
    Host host;
    ProbeColoredDlg dialog;
};

TEST_F(ColoredDialog, EveryKindOfColourRequestGetsTheSameAnswer)
{
    platform::testing::Canvas canvas(8, 8);
    HDC dc = canvas.dc();
    const HWND status = dialog.GetDlgItemHwnd(IDC_STATUS);
    for (UINT request : {WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORDLG, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX,
                         WM_CTLCOLORSCROLLBAR, WM_CTLCOLORMSGBOX}) {
        SCOPED_TRACE(request);
        SetBkColor(dc, RGB(1, 2, 3));
        ::SetTextColor(dc, RGB(4, 5, 6));
        SetBkMode(dc, TRANSPARENT);
        const LRESULT brush =
            dialog.SendMessage(request, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(status));
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), dialog.m_backBrush);
        EXPECT_EQ(GetBkColor(dc), kBack);
        EXPECT_EQ(GetTextColor(dc), kText);
        EXPECT_EQ(GetBkMode(dc), OPAQUE);
    }
}

TEST_F(ColoredDialog, BackgroundStaticAndCheckBoxShareTheColour)
{
    const HWND check = CreateWindowExW(0, u"button", u"Box", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 120, 100, 16,
                                       dialog.m_hWnd, 77, nullptr, nullptr);
    ASSERT_NE(check, nullptr);
    const HWND status = dialog.GetDlgItemHwnd(IDC_STATUS);
    ASSERT_NE(status, nullptr);
    ::SetWindowTextW(status, u"");
    Repaint(dialog.m_hWnd);
    Repaint(status);
    Repaint(check);
    RECT client{};
    ::GetClientRect(dialog.m_hWnd, &client);
    EXPECT_EQ(PixelAt(dialog.m_hWnd, client.right - 2, client.bottom - 2), kBack);
    EXPECT_EQ(PixelAt(status, 1, 1), kBack);
    RECT box{};
    ::GetClientRect(check, &box);
    EXPECT_EQ(PixelAt(check, box.right - 2, 1), kBack);
}

TEST(ColoredDialogBrush, EachNewColourReplacesTheBrushAndTheDialogDeletesTheLast)
{
    HBRUSH first = nullptr;
    HBRUSH second = nullptr;
    HBRUSH third = nullptr;
    {
        ProbeColoredDlg dialog;
        first = dialog.m_backBrush;
        ASSERT_NE(first, nullptr);
        dialog.SetBackColor(RGB(1, 2, 3));
        second = dialog.m_backBrush;
        dialog.SetBackColor(RGB(4, 5, 6));
        third = dialog.m_backBrush;
        EXPECT_FALSE(Alive(first));
        EXPECT_FALSE(Alive(second));
        ASSERT_TRUE(Alive(third));
        LOGBRUSH info{};
        ASSERT_EQ(GetObjectW(third, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.lbColor, RGB(4, 5, 6));
    }
    EXPECT_FALSE(Alive(third));
}

}  // namespace
