// The custom button's drawing: colour shading, frames, gradient faces,
// image and caption layout, check marks and group boxes, checked pixel by
// pixel in the button's own window image.
#include "ButtonTestSupport.h"

namespace {

constexpr int kId = 7;

// A button on a host, attached to a CProbeButton.
class ButtonPaint : public ::testing::Test {
protected:
    ProbeButton& Make(DWORD style, int width, int height, const WCHAR* text = u"")
    {
        HWND window = host.Child(u"button", text, style, RECT{10, 10, 10 + width, 10 + height}, kId);
        EXPECT_TRUE(button.SubclassWindow(window));
        return button;
    }
    Host host;
    ProbeButton button;
};

TEST(ShadeColor, DarkensAndLightensEachChannelOnItsOwn)
{
    struct Case {
        COLORREF colour;
        double factor;
        COLORREF expected;
    };
    const COLORREF a = RGB(255, 100, 0);
    const COLORREF b = RGB(0, 200, 50);
    const Case cases[] = {
        {a, -0.3, RGB(255, 130, 0)},
        {b, -0.3, RGB(0, 255, 65)},  // 200 * 1.3 passes 255: white
        {a, -0.2, RGB(255, 120, 0)},
        {b, -0.2, RGB(0, 240, 60)},
        {a, -0.1, RGB(255, 110, 0)},
        {b, -0.1, RGB(0, 220, 55)},
        {a, 0.2, RGB(204, 80, 0)},
        {b, 0.2, RGB(0, 160, 40)},
        {a, 0.3, RGB(178, 70, 0)},
        {b, 0.3, RGB(0, 140, 35)},
        {a, 1.0, RGB(0, 0, 0)},
        {a, -1.0, RGB(255, 200, 0)},
        // Factors that change nothing.
        {a, 0.0, a},
        {a, 1.5, a},
        {a, -1.5, a},
        {RGB(255, 255, 255), -0.3, RGB(255, 255, 255)},
        {RGB(0, 0, 0), 0.3, RGB(0, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.colour << " by " << c.factor);
        EXPECT_EQ(CCustomButton::ShadeColor(c.colour, c.factor), c.expected);
    }
}

TEST_F(ButtonPaint, PlainFrameIsRaisedWhenNormalAndSunkenWhileHeld)
{
    Make(BS_PUSHBUTTON, 40, 20);
    const COLORREF face = RGB(100, 100, 100);
    const COLORREF held = RGB(0, 0, 200);
    button.SetBackColor(face);
    button.SetCheckedBackColor(held);
    struct Case {
        POINT at;
        COLORREF normal;
        COLORREF pressed;
    };
    const Case cases[] = {
        {{0, 5}, RGB(130, 130, 130), RGB(0, 0, 140)},  // outer left
        {{5, 0}, RGB(130, 130, 130), RGB(0, 0, 140)},  // outer top
        {{1, 5}, RGB(120, 120, 120), RGB(0, 0, 160)},  // inner left
        {{5, 1}, RGB(120, 120, 120), RGB(0, 0, 160)},  // inner top
        {{5, 19}, RGB(70, 70, 70), RGB(0, 0, 255)},    // outer bottom
        {{39, 5}, RGB(70, 70, 70), RGB(0, 0, 255)},    // outer right
        {{5, 18}, RGB(80, 80, 80), RGB(0, 0, 240)},    // inner bottom
        {{38, 5}, RGB(80, 80, 80), RGB(0, 0, 240)},    // inner right
        {{0, 19}, RGB(70, 70, 70), RGB(0, 0, 255)},    // the bottom line wins the corner
        {{39, 0}, RGB(70, 70, 70), RGB(0, 0, 255)},    // and the right line its own
        {{20, 10}, face, held},
    };
    Repaint(button);
    for (const Case& c : cases)
        EXPECT_EQ(PixelAt(button, c.at.x, c.at.y), c.normal) << "normal at " << c.at;
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Repaint(button);
    for (const Case& c : cases)
        EXPECT_EQ(PixelAt(button, c.at.x, c.at.y), c.pressed) << "pressed at " << c.at;
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Repaint(button);
    for (const Case& c : cases)
        EXPECT_EQ(PixelAt(button, c.at.x, c.at.y), c.normal) << "released at " << c.at;
}

TEST_F(ButtonPaint, GradientRowsRunFromTopToBottomColourAndReverseWhenChecked)
{
    Make(BS_PUSHBUTTON | BS_PUSHLIKE, 40, 10);
    button.SetDrawStyle(CCustomButton::kGradientFace);
    button.SetGradientColors(RGB(0, 0, 0), RGB(200, 100, 50));
    Repaint(button);
    // Rows 2 to 7 (columns 3 to 37: the frame has a corner pixel at 2, 2)
    // step by a tenth of the difference each: the last row
    // stops short of the bottom colour.
    for (int y = 2; y <= 7; ++y) {
        const int n = y - 2;
        EXPECT_EQ(PixelAt(button, 3, y), RGB(20 * n, 10 * n, 5 * n)) << "row " << y;
        EXPECT_EQ(PixelAt(button, 37, y), RGB(20 * n, 10 * n, 5 * n)) << "row " << y;
    }
    Tap(button);
    Repaint(button);
    for (int y = 2; y <= 7; ++y) {
        const int n = y - 2;
        EXPECT_EQ(PixelAt(button, 20, y), RGB(200 - 20 * n, 100 - 10 * n, 50 - 5 * n)) << "checked row " << y;
    }
}

TEST_F(ButtonPaint, GradientNeedsMoreThanFourRows)
{
    const COLORREF face = RGB(10, 20, 30);
    const COLORREF top = RGB(250, 0, 0);
    struct Case {
        int height;
        COLORREF row2;
    };
    for (const Case c : {Case{4, face}, Case{5, top}}) {
        SCOPED_TRACE(c.height);
        ProbeButton flat;
        HWND window = host.Child(u"button", u"", BS_PUSHBUTTON | BS_FLAT, RECT{0, 0, 40, c.height}, kId);
        flat.SubclassWindow(window);
        flat.SetBackColor(face);
        flat.SetDrawStyle(CCustomButton::kGradientFace);
        flat.SetGradientColors(top, RGB(0, 0, 250));
        Repaint(window);
        EXPECT_EQ(PixelAt(window, 10, 2), c.row2);
        // The row at height - 2 is never part of the gradient.
        EXPECT_EQ(PixelAt(window, 10, c.height - 2), face);
        DestroyWindow(window);
    }
}

TEST_F(ButtonPaint, GradientFrameHasRoundedCornersThatTurnWhenChecked)
{
    Make(BS_PUSHBUTTON | BS_PUSHLIKE, 40, 20);
    const COLORREF face = RGB(0, 90, 0);
    button.SetBackColor(face);
    button.SetCheckedBackColor(face);
    button.SetDrawStyle(CCustomButton::kGradientFace);
    button.SetGradientColors(RGB(0, 0, 0), RGB(200, 200, 200));
    const COLORREF mid = RGB(100, 100, 100);
    const COLORREF light = RGB(110, 110, 110);
    const COLORREF dark = RGB(80, 80, 80);
    const COLORREF bottomColour = RGB(200, 200, 200);  // where a checked gradient starts
    struct Case {
        POINT at;
        COLORREF normal;
        COLORREF checked;
    };
    const Case cases[] = {
        {{0, 0}, face, face},    {{1, 0}, face, face},          {{0, 1}, face, face},    {{3, 0}, face, dark},
        {{4, 0}, light, dark},   {{0, 3}, face, dark},          {{0, 4}, light, dark},   {{0, 16}, light, dark},
        {{0, 17}, face, face},   {{2, 2}, light, bottomColour}, {{1, 2}, face, dark},    {{2, 1}, face, dark},
        {{1, 10}, mid, mid},     {{20, 1}, mid, mid},           {{20, 18}, mid, mid},    {{38, 10}, mid, mid},
        {{20, 19}, dark, light}, {{39, 10}, dark, light},       {{37, 19}, dark, light}, {{38, 18}, dark, light},
        {{39, 17}, dark, light}, {{39, 19}, face, face},        {{38, 19}, face, face},  {{39, 18}, face, face},
    };
    Repaint(button);
    for (const Case& c : cases)
        EXPECT_EQ(PixelAt(button, c.at.x, c.at.y), c.normal) << "normal at " << c.at;
    Tap(button);
    ASSERT_EQ(button.SendMessage(BM_GETCHECK), BST_CHECKED);
    Repaint(button);
    for (const Case& c : cases)
        EXPECT_EQ(PixelAt(button, c.at.x, c.at.y), c.checked) << "checked at " << c.at;
}

TEST_F(ButtonPaint, PressShiftsTheImageByOnePixelUnlessFlat)
{
    const COLORREF face = RGB(0, 90, 0);
    const COLORREF red = RGB(255, 0, 0);
    struct Case {
        const char* name;
        DWORD style;
        RECT pressed;
        COLORREF corner;  // pixel (0, 5) while pressed: frame or face
    };
    // A 6 x 6 image alone in a 20 x 14 button sits at (7, 4).
    const Case cases[] = {
        {"framed", BS_PUSHBUTTON | BS_BITMAP, RECT{8, 5, 14, 11}, CCustomButton::ShadeColor(face, 0.3)},
        {"flat", BS_PUSHBUTTON | BS_BITMAP | BS_FLAT, RECT{7, 4, 13, 10}, face},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeButton b;
        HWND window = host.Child(u"button", u"", c.style, RECT{0, 0, 20, 14}, kId);
        b.SubclassWindow(window);
        EXPECT_EQ(b.m_flat, (c.style & BS_FLAT) != 0 ? 1 : 0);
        b.SetBackColor(face);
        b.SetCheckedBackColor(face);
        b.SetBitmaps(SolidBitmap(6, 6, red), nullptr);
        Repaint(window);
        EXPECT_EQ(ColourBox(window, red), (RECT{7, 4, 13, 10}));
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        Repaint(window);
        EXPECT_EQ(ColourBox(window, red), c.pressed);
        EXPECT_EQ(PixelAt(window, 0, 5), c.corner);
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        DestroyWindow(window);
    }
}

TEST_F(ButtonPaint, ImageShowsOnlyWithTheBitmapStyle)
{
    const COLORREF red = RGB(255, 0, 0);
    for (DWORD style : {DWORD{BS_PUSHBUTTON}, DWORD{BS_PUSHBUTTON | BS_BITMAP}}) {
        ProbeButton b;
        HWND window = host.Child(u"button", u"", style | BS_FLAT, RECT{0, 0, 20, 14}, kId);
        b.SubclassWindow(window);
        b.SetBitmaps(SolidBitmap(6, 6, red), nullptr);
        Repaint(window);
        EXPECT_EQ(ColourBox(window, red).right != 0, (style & BS_BITMAP) != 0) << std::hex << style;
        DestroyWindow(window);
    }
    // With the style and no image: the caption alone, centred.
    Make(BS_PUSHBUTTON | BS_BITMAP | BS_FLAT, 60, 20, u"Go");
    const COLORREF face = RGB(200, 200, 200);
    button.SetBackColor(face);
    Repaint(button);
    const RECT ink = ColourBox(button, face, true);
    ASSERT_NE(ink.right, 0);
    EXPECT_NEAR((ink.left + ink.right) / 2, 30, 3);
}

TEST(ButtonLayout, PushFacePlacements)
{
    struct Case {
        const char* name;
        DWORD placement;
        bool image;
        bool text;
        POINT image_at;
        POINT text_at;
    };
    // Client 100 x 40, image 20 x 10, caption 30 x 12.
    const Case cases[] = {
        {"left", 0, true, true, {16, 15}, {52, 14}},
        {"left by bit 1", 2, true, true, {16, 15}, {52, 14}},
        {"bit 1 wins over bit 0", 3, true, true, {16, 15}, {52, 14}},
        {"right", 1, true, true, {62, 15}, {16, 14}},
        {"text above image", 4, true, true, {40, 24}, {35, 6}},
        {"bit 2 wins over bit 3", 12, true, true, {40, 24}, {35, 6}},
        {"image above text", 8, true, true, {40, 6}, {35, 22}},
        {"image alone, left", 0, true, false, {40, 15}, {100, 20}},
        {"image alone, right", 1, true, false, {40, 15}, {40, 20}},
        {"image alone, above", 8, true, false, {40, 15}, {50, 40}},
        {"text alone, left", 0, false, true, {35, 20}, {35, 14}},
        {"text alone, right", 1, false, true, {100, 20}, {35, 14}},
        {"text alone, above", 4, false, true, {50, 40}, {35, 14}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A missing part measures nothing.
        const int bw = c.image ? 20 : 0, bh = c.image ? 10 : 0;
        const int tw = c.text ? 30 : 0, th = c.text ? 12 : 0;
        const auto layout = CCustomButton::PushFaceLayout(c.placement, 100, 40, bw, bh, c.image, tw, th, c.text);
        EXPECT_EQ(layout.image.x, c.image_at.x);
        EXPECT_EQ(layout.image.y, c.image_at.y);
        EXPECT_EQ(layout.text.x, c.text_at.x);
        EXPECT_EQ(layout.text.y, c.text_at.y);
    }
    // An image wider than the button: the gap truncates toward zero.
    EXPECT_EQ(CCustomButton::PushFaceLayout(0, 11, 40, 20, 10, true, 0, 0, false).image.x, -4);
}

TEST(ButtonLayout, CheckFacePlacements)
{
    struct Case {
        const char* name;
        DWORD placement;
        DWORD style;
        POINT box;
        POINT text;
    };
    // Client 100 x 20, box 16 x 16, caption 13 high.
    const Case cases[] = {
        {"box left", 0, 0, {0, 2}, {20, 2}},
        {"box left, caption left", 0, BS_LEFT, {0, 2}, {20, 2}},
        {"box left, caption right", 0, BS_RIGHT, {0, 2}, {18, 2}},
        {"box left, caption centred", 0, BS_CENTER, {0, 2}, {18, 2}},
        {"box left by bit 1", 3, 0, {0, 2}, {20, 2}},
        {"box right", 1, 0, {84, 2}, {0, 2}},
        {"box right, caption right", 1, BS_RIGHT, {84, 2}, {0, 2}},
        {"placement 4 keeps the box left", 4, 0, {0, 2}, {20, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto layout = CCustomButton::CheckFaceLayout(c.placement, c.style, 100, 20, 16, 16, 13);
        EXPECT_EQ(layout.image.x, c.box.x);
        EXPECT_EQ(layout.image.y, c.box.y);
        EXPECT_EQ(layout.text.x, c.text.x);
        EXPECT_EQ(layout.text.y, c.text.y);
    }
}

TEST(ButtonLayout, TextFormatFromTheStyle)
{
    struct Case {
        DWORD style;
        UINT format;
    };
    const Case cases[] = {
        {0, DT_SINGLELINE | DT_CENTER},         {BS_LEFT, DT_SINGLELINE | DT_LEFT},
        {BS_RIGHT, DT_SINGLELINE | DT_RIGHT},   {BS_CENTER, DT_SINGLELINE | DT_CENTER},
        {BS_MULTILINE | BS_LEFT, DT_WORDBREAK}, {BS_BOTTOM, DT_SINGLELINE | DT_CENTER | DT_BOTTOM},
        {0xC00, DT_SINGLELINE | DT_CENTER},  // both vertical bits: centred, so top-aligned here
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCustomButton::TextFormat(c.style), c.format) << std::hex << c.style;
}

TEST_F(ButtonPaint, CheckBoxWithoutImageDrawsTheCheckMarkInSixteenPixels)
{
    const COLORREF face = RGB(0, 90, 0);
    struct Case {
        const char* name;
        DWORD style;
        DWORD placement;
        RECT box;
    };
    const Case cases[] = {
        {"check box", BS_AUTOCHECKBOX, 0, RECT{0, 2, 16, 18}},
        {"check box, box right", BS_AUTOCHECKBOX, 1, RECT{24, 2, 40, 18}},
        {"radio button", BS_AUTORADIOBUTTON, 0, RECT{0, 2, 16, 18}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeButton b;
        HWND window = host.Child(u"button", u"", c.style, RECT{0, 0, 40, 20}, kId);
        b.SubclassWindow(window);
        b.SetBackColor(face);
        b.SetCheckedBackColor(face);
        b.SetDrawStyle(c.placement);
        Repaint(window);
        EXPECT_EQ(b.m_bitmapWidth, 16u);
        EXPECT_EQ(b.m_bitmapHeight, 16u);
        EXPECT_EQ(ColourBox(window, face, true), c.box);
        const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
        const RECT before = ColourBox(window, ink);
        SendMessageW(window, BM_SETCHECK, BST_CHECKED, 0);
        Repaint(window);
        EXPECT_EQ(ColourBox(window, face, true), c.box);
        // The mark appears inside the box.
        const RECT mark = ColourBox(window, ink);
        EXPECT_EQ(before.right, 0);
        ASSERT_NE(mark.right, 0);
        EXPECT_GE(mark.left, c.box.left + 2);
        EXPECT_LE(mark.right, c.box.right - 2);
        DestroyWindow(window);
    }
}

TEST_F(ButtonPaint, CheckBoxImageFollowsTheStateAndCaptionSitsBesideIt)
{
    Make(BS_AUTOCHECKBOX, 100, 20, u"Hide peers");
    const COLORREF face = RGB(0, 90, 0);
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF blue = RGB(0, 0, 255);
    button.SetBackColor(face);
    button.SetCheckedBackColor(face);
    button.SetBitmaps(SolidBitmap(12, 10, red), SolidBitmap(12, 10, blue));
    Repaint(button);
    EXPECT_EQ(ColourBox(button, red), (RECT{0, 5, 12, 15}));
    EXPECT_EQ(ColourBox(button, blue).right, 0);
    // The caption starts after the image and its 4-pixel gap.
    const RECT text = ColourBox(button, GetSysColor(COLOR_BTNTEXT));
    ASSERT_NE(text.right, 0);
    EXPECT_GE(text.left, 16);
    Tap(button);
    Repaint(button);
    EXPECT_EQ(ColourBox(button, blue), (RECT{0, 5, 12, 15}));
    EXPECT_EQ(ColourBox(button, red).right, 0);
}

TEST_F(ButtonPaint, GroupBoxOutlineBandAndReadableCaption)
{
    const COLORREF face = RGB(0, 90, 0);
    for (const bool bottom : {false, true}) {
        SCOPED_TRACE(bottom ? "caption at the bottom" : "caption at the top");
        ProbeButton b;
        HWND window = host.Child(u"button", u"Group", BS_GROUPBOX, RECT{0, 0, 80, 60}, kId);
        b.SubclassWindow(window);
        EXPECT_EQ(b.m_kind, CCustomButton::kGroupBox);
        b.SetBackColor(face);
        if (bottom)
            b.SetDrawStyle(CCustomButton::kImageAboveText);
        Repaint(window);
        const COLORREF frame = GetSysColor(COLOR_BTNTEXT);
        EXPECT_EQ(PixelAt(window, 0, 30), frame);  // the outline
        EXPECT_EQ(PixelAt(window, 79, 30), frame);
        EXPECT_EQ(PixelAt(window, 40, 30), face);  // inside it
        EXPECT_EQ(PixelAt(window, 40, bottom ? 0 : 59), frame);
        // The band: the rows whose third pixel is the frame colour, at the
        // caption's end. The caption shows on it in the face colour,
        // left-aligned 5 pixels in.
        HDC dc = GetDC(window);
        int bandRows = 0;
        int captionPixels = 0;
        int firstX = 80;
        for (int y = 1; y < 59; ++y) {  // rows 0 and 59 may be the outline's
            if (GetPixel(dc, 2, y) != frame)
                continue;
            ++bandRows;
            EXPECT_EQ(y < 30, !bottom) << "band row " << y;
            for (int x = 0; x < 80; ++x)
                if (GetPixel(dc, x, y) == face) {
                    ++captionPixels;
                    firstX = std::min(firstX, x);
                }
        }
        ReleaseDC(window, dc);
        EXPECT_GT(bandRows, 5);
        EXPECT_GT(captionPixels, 0);
        EXPECT_GE(firstX, 5);
        EXPECT_LT(firstX, 10);
        DestroyWindow(window);
    }
}

TEST_F(ButtonPaint, OffscreenImageIsCopiedWithTheButtonsFont)
{
    // A large font makes a taller caption than the default one.
    Make(BS_PUSHBUTTON | BS_FLAT, 120, 40, u"Exit");
    const COLORREF face = RGB(200, 200, 200);
    button.SetBackColor(face);
    Repaint(button);
    const RECT small = ColourBox(button, face, true);
    button.SetButtonFont(CreateFontW(-30, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma"));
    Repaint(button);
    const RECT large = ColourBox(button, face, true);
    EXPECT_GT(large.bottom - large.top, small.bottom - small.top);
}

}  // namespace
