// The custom button's behaviour: what it becomes when attached, how taps
// change its state and caption, the click its parent hears, radio groups,
// and the images and font it owns.
#include "ButtonTestSupport.h"
#include "res/Resource.h"

namespace {

class ButtonInput : public ::testing::Test {
protected:
    HWND Make(ProbeButton& button, DWORD style, int id, const WCHAR* text = u"Caption")
    {
        HWND window = host.Child(u"button", text, style, RECT{0, 0, 60, 20}, id);
        EXPECT_TRUE(button.SubclassWindow(window));
        return window;
    }
    std::vector<Heard> Clicks(HWND window) const
    {
        std::vector<Heard> clicks;
        for (const Heard& h : host.heard)
            if (h.message == WM_COMMAND && h.lParam == reinterpret_cast<LPARAM>(window))
                clicks.push_back(h);
        return clicks;
    }
    Host host;
};

TEST_F(ButtonInput, AttachingReadsTheKindAndTakesOverThePainting)
{
    struct Case {
        DWORD style;
        DWORD kind;
        BYTE flat;
    };
    const Case cases[] = {
        {BS_PUSHBUTTON, CCustomButton::kPush, 0},
        {BS_DEFPUSHBUTTON, CCustomButton::kPush, 0},
        {BS_PUSHBUTTON | BS_FLAT, CCustomButton::kPush, 1},
        {BS_CHECKBOX, CCustomButton::kCheckBox, 1},
        {BS_AUTOCHECKBOX | BS_FLAT, CCustomButton::kCheckBox, 1},
        {BS_RADIOBUTTON, CCustomButton::kRadio, 1},
        {BS_AUTORADIOBUTTON, CCustomButton::kRadio, 1},
        {BS_GROUPBOX, CCustomButton::kGroupBox, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.style);
        ProbeButton button;
        HWND window = Make(button, c.style | BS_BITMAP | BS_LEFT, 5);
        EXPECT_EQ(button.m_kind, c.kind);
        EXPECT_EQ(button.m_flat, c.flat);
        // Only the type changes: the other style bits stay.
        EXPECT_EQ(button.GetStyle() & 0xFFFF, (c.style & ~BS_TYPEMASK) | BS_OWNERDRAW | BS_BITMAP | BS_LEFT);
        EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CButton)));
        DestroyWindow(window);
    }
    WNDCLASSW info{};
    EXPECT_TRUE(GetClassInfoW(nullptr, u"CustomButtonClass", &info));
    EXPECT_EQ(info.style, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS);
    EXPECT_TRUE(CCustomButton::RegisterWindowClass());
}

TEST_F(ButtonInput, PushButtonIsCheckedOnlyWhileHeldAndStillClicks)
{
    ProbeButton button;
    HWND window = Make(button, BS_PUSHBUTTON, IDC_EXIT, u"Exit");
    button.SetTexts(u"Exit", u"");
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(button.SendMessage(BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(button.GetWindowText(), u"Exit");  // an empty checked text means the same caption
    EXPECT_TRUE(Clicks(window).empty());
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(button.SendMessage(BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(Clicks(window),
              (std::vector<Heard>{{WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED), reinterpret_cast<LPARAM>(window)}}));
    // A release outside the button is no click.
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
    EXPECT_EQ(Clicks(window).size(), 1u);
    // BM_SETCHECK is for check boxes and radio buttons only.
    EXPECT_EQ(button.SendMessage(BM_SETCHECK, BST_CHECKED), 0);
    EXPECT_EQ(button.SendMessage(BM_GETCHECK), BST_UNCHECKED);
}

TEST_F(ButtonInput, PushLikeButtonTogglesItsCaptionOnEachPress)
{
    ProbeButton button;
    HWND window = Make(button, BS_PUSHBUTTON, IDC_SUSPEND, u"Suspend");
    button.ModifyStyle(0, BS_PUSHLIKE);
    button.SetTexts(u"Suspend", u"Resume");
    const struct {
        int check;
        const char16_t* caption;
    } after[] = {{BST_CHECKED, u"Resume"}, {BST_UNCHECKED, u"Suspend"}, {BST_CHECKED, u"Resume"}};
    for (const auto& a : after) {
        Tap(window);
        EXPECT_EQ(button.SendMessage(BM_GETCHECK), a.check);
        EXPECT_EQ(button.GetWindowText(), a.caption);
    }
    EXPECT_EQ(Clicks(window).size(), 3u);
    // Texts set while on show the checked caption at once.
    button.SetTexts(u"Pause", u"Go on");
    EXPECT_EQ(button.GetWindowText(), u"Go on");
}

TEST_F(ButtonInput, CheckBoxTogglesOnPressAndFollowsSetCheck)
{
    ProbeButton button;
    HWND window = Make(button, BS_AUTOCHECKBOX, IDC_HIDE_PEERS);
    button.SetTexts(u"Show peers", u"Hide peers");
    Tap(window);
    EXPECT_EQ(button.SendMessage(BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(button.GetWindowText(), u"Hide peers");
    EXPECT_EQ(Clicks(window).size(), 1u);
    Tap(window);
    EXPECT_EQ(button.SendMessage(BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(button.GetWindowText(), u"Show peers");
    // Any value but 1 unchecks.
    struct Case {
        WPARAM state;
        int check;
        const char16_t* caption;
    };
    for (const Case& c :
         {Case{BST_CHECKED, BST_CHECKED, u"Hide peers"}, Case{2, BST_UNCHECKED, u"Show peers"},
          Case{BST_CHECKED, BST_CHECKED, u"Hide peers"}, Case{BST_UNCHECKED, BST_UNCHECKED, u"Show peers"}}) {
        EXPECT_EQ(button.SendMessage(BM_SETCHECK, c.state), 0);
        EXPECT_EQ(button.SendMessage(BM_GETCHECK), c.check);
        EXPECT_EQ(button.GetWindowText(), c.caption);
    }
}

TEST_F(ButtonInput, QuickSecondTapTogglesAgain)
{
    ProbeButton button;
    HWND window = Make(button, BS_AUTOCHECKBOX, IDC_SOUND);
    Tap(window);
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(button.SendMessage(BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(Clicks(window).size(), 2u);
}

TEST_F(ButtonInput, DisabledButtonIgnoresTaps)
{
    for (DWORD style : {DWORD{BS_PUSHBUTTON}, DWORD{BS_PUSHBUTTON | BS_PUSHLIKE}, DWORD{BS_AUTOCHECKBOX},
                        DWORD{BS_AUTORADIOBUTTON}}) {
        SCOPED_TRACE(testing::Message() << std::hex << style);
        ProbeButton button;
        HWND window = Make(button, style, 9);
        EnableWindow(window, FALSE);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        EXPECT_EQ(button.SendMessage(BM_GETCHECK), BST_UNCHECKED);
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        EXPECT_TRUE(Clicks(window).empty());
        EXPECT_EQ(GetCapture(), nullptr);
        DestroyWindow(window);
    }
}

TEST_F(ButtonInput, RadioButtonUnchecksTheRestOfItsGroupOnly)
{
    // Label | A B (platform radio C) | D, in creation order; WS_GROUP starts
    // a group.
    host.Child(u"static", u"Label", WS_GROUP, RECT{0, 0, 50, 10}, 1);
    ProbeButton a, b, d;
    HWND wa = host.Child(u"button", u"A", BS_AUTORADIOBUTTON | WS_GROUP, RECT{0, 10, 50, 20}, 2);
    HWND wb = host.Child(u"button", u"B", BS_AUTORADIOBUTTON, RECT{0, 20, 50, 30}, 3);
    HWND wc = host.Child(u"button", u"C", BS_AUTORADIOBUTTON, RECT{0, 30, 50, 40}, 4);
    HWND wd = host.Child(u"button", u"D", BS_AUTORADIOBUTTON | WS_GROUP, RECT{0, 40, 50, 50}, 5);
    a.SubclassWindow(wa);
    b.SubclassWindow(wb);
    d.SubclassWindow(wd);
    SendMessageW(wc, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(wd, BM_SETCHECK, BST_CHECKED, 0);

    struct Step {
        HWND tapped;
        LRESULT a, b, c, d;
    };
    const Step steps[] = {
        {wb, 0, 1, 0, 1},  // B checks, C (a platform radio) unchecks, D's group is left alone
        {wa, 1, 0, 0, 1},
        {wa, 1, 0, 0, 1},  // a checked radio ignores the press
        {wd, 1, 0, 0, 1},  // alone in its group
    };
    for (const Step& s : steps) {
        Tap(s.tapped);
        EXPECT_EQ(SendMessageW(wa, BM_GETCHECK, 0, 0), s.a);
        EXPECT_EQ(SendMessageW(wb, BM_GETCHECK, 0, 0), s.b);
        EXPECT_EQ(SendMessageW(wc, BM_GETCHECK, 0, 0), s.c);
        EXPECT_EQ(SendMessageW(wd, BM_GETCHECK, 0, 0), s.d);
    }
    // Every tap still clicks.
    EXPECT_EQ(Clicks(wa).size(), 2u);
}

TEST(DialogGroup, WalkWrapsWithinTheGroupAndSkipsHiddenAndDisabledItems)
{
    Host host;
    HWND label = host.Child(u"static", u"", WS_GROUP, RECT{}, 1);
    HWND a = host.Child(u"button", u"", WS_GROUP, RECT{}, 2);
    HWND b = host.Child(u"button", u"", 0, RECT{}, 3);
    HWND hidden = host.Child(u"button", u"", 0, RECT{}, 4);
    HWND off = host.Child(u"button", u"", WS_DISABLED, RECT{}, 5);
    HWND c = host.Child(u"button", u"", 0, RECT{}, 6);
    HWND alone = host.Child(u"button", u"", WS_GROUP, RECT{}, 7);
    ShowWindow(hidden, SW_HIDE);
    struct Case {
        HWND from;
        BOOL previous;
        HWND expected;
    };
    const Case cases[] = {
        {a, FALSE, b},
        {b, FALSE, c},
        {c, FALSE, a},
        {a, TRUE, c},
        {c, TRUE, b},
        {b, TRUE, a},
        {alone, FALSE, alone},
        {alone, TRUE, alone},
        {label, FALSE, label},
        {hidden, FALSE, c},
        {nullptr, FALSE, nullptr},
    };
    for (const Case& k : cases)
        EXPECT_EQ(GetNextDlgGroupItem(host, k.from, k.previous), k.expected)
            << "from id " << GetDlgCtrlID(k.from) << (k.previous ? " back" : " on");
    (void)off;
    EXPECT_EQ(GetNextDlgGroupItem(nullptr, a, FALSE), nullptr);
}

TEST_F(ButtonInput, ImagesAreOwnedAndEachDeletedOnce)
{
    HBITMAP first = SolidBitmap(4, 3, RGB(255, 0, 0));
    HBITMAP second = SolidBitmap(8, 5, RGB(0, 255, 0));
    HBITMAP third = SolidBitmap(2, 2, RGB(0, 0, 255));
    {
        ProbeButton button;
        Make(button, BS_AUTOCHECKBOX, 1);
        button.SetBitmaps(first, nullptr);
        EXPECT_EQ(button.m_checkedBitmap, first);
        EXPECT_EQ(button.m_bitmapWidth, 4u);
        EXPECT_EQ(button.m_bitmapHeight, 3u);
        // The same image again must not delete it.
        button.SetBitmaps(first, first);
        EXPECT_TRUE(Alive(first));
        // A null normal image keeps the current one; the checked one is new.
        button.SetBitmaps(nullptr, second);
        EXPECT_EQ(button.m_normalBitmap, first);
        EXPECT_EQ(button.m_checkedBitmap, second);
        EXPECT_EQ(button.m_bitmapWidth, 4u);
        // Replacing both: the old pair goes, each once.
        button.SetBitmaps(third, nullptr);
        EXPECT_FALSE(Alive(first));
        EXPECT_FALSE(Alive(second));
        EXPECT_EQ(button.m_checkedBitmap, third);
        EXPECT_EQ(button.m_bitmapWidth, 2u);
    }
    EXPECT_FALSE(Alive(third));
}

TEST_F(ButtonInput, FontIsDeletedWhenReplacedButNotWithTheButton)
{
    HFONT one = CreateFontW(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    HFONT two = CreateFontW(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    {
        ProbeButton button;
        Make(button, BS_PUSHBUTTON, 1);
        button.SetButtonFont(one);
        button.SetButtonFont(one);
        EXPECT_TRUE(Alive(one));
        button.SetButtonFont(two);
        EXPECT_FALSE(Alive(one));
    }
    EXPECT_TRUE(Alive(two));
    DeleteObject(two);
}

}  // namespace
