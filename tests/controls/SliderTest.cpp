// The image slider: the mapping between values and thumb positions, the
// stylus with the scroll messages the parent hears, and the images painted.
#include "ButtonTestSupport.h"
#include "res/Resource.h"

namespace {

TEST(SliderScale, ValuesAndPointsMapBothWays)
{
    struct Case {
        const char* name;
        SliderScale scale;
        std::vector<std::pair<UINT, int>> centres;  // value, thumb centre
        std::vector<std::pair<int, UINT>> taps;     // coordinate, value
    };
    const Case cases[] = {
        {"horizontal reversed 1..5",
         {1, 5, 80, 20, true, true},
         {{1, 70}, {2, 55}, {5, 10}},
         {{0, 5}, {9, 5}, {10, 5}, {24, 5}, {25, 4}, {69, 2}, {70, 1}, {71, 1}, {80, 1}}},
        {"horizontal 10..20",
         {10, 20, 80, 20, true, false},
         {{10, 10}, {15, 40}, {20, 70}},
         {{-5, 10}, {9, 10}, {15, 10}, {16, 11}, {40, 15}, {70, 20}, {71, 20}}},
        {"vertical 0..10",
         {0, 10, 120, 20, false, false},
         {{0, 110}, {5, 60}, {10, 10}},
         {{5, 10}, {10, 10}, {60, 5}, {110, 0}, {115, 0}}},
        {"vertical reversed 0..10",
         {0, 10, 120, 20, false, true},
         {{0, 10}, {5, 60}, {10, 110}},
         {{5, 0}, {60, 5}, {110, 10}, {115, 10}}},
        {"odd thumb", {0, 4, 41, 5, true, false}, {{0, 2}, {4, 38}}, {{1, 0}, {2, 0}, {11, 1}, {38, 4}, {39, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (auto [value, centre] : c.centres)
            EXPECT_EQ(c.scale.ThumbCentre(value), centre) << "value " << value;
        for (auto [at, value] : c.taps)
            EXPECT_EQ(c.scale.ValueAt(at), value) << "tap at " << at;
        // A tap on a thumb's centre picks that thumb's value.
        for (UINT v = c.scale.minimum; v <= c.scale.maximum; ++v)
            EXPECT_EQ(c.scale.ValueAt(c.scale.ThumbCentre(v)), v) << "round trip " << v;
    }
}

TEST(SliderScale, RangesWithoutRoomGiveTheMinimumInsteadOfDividingByZero)
{
    const SliderScale cases[] = {
        {5, 5, 80, 20, true, false},   // empty range
        {9, 3, 80, 20, true, true},    // upside-down range
        {0, 10, 20, 20, true, false},  // thumb as long as the slider
        {0, 10, 10, 20, false, true},  // thumb longer
    };
    for (const SliderScale& s : cases) {
        EXPECT_FALSE(s.CanMap());
        for (int at : {-10, 0, 10, 40, 200})
            EXPECT_EQ(s.ValueAt(at), s.minimum);
        EXPECT_EQ(s.ThumbCentre(s.minimum), s.ThumbCentre(s.maximum));
    }
    // A huge range does not overflow.
    const SliderScale wide{0, 0xFFFFFFFFu, 1000, 20, true, false};
    EXPECT_EQ(wide.ValueAt(990), 0xFFFFFFFFu);
    EXPECT_EQ(wide.ThumbCentre(0xFFFFFFFFu), 990);
    // A position outside the range shows at the nearer end.
    const SliderScale s{10, 20, 80, 20, true, false};
    EXPECT_EQ(s.ThumbCentre(3), s.ThumbCentre(10));
    EXPECT_EQ(s.ThumbCentre(99), s.ThumbCentre(20));
}

class SliderWindow : public ::testing::Test {
protected:
    void Make(DWORD style = 0, int width = 80, int height = 30)
    {
        HWND window =
            host.Child(u"CustomSliderClass", u"", style, RECT{10, 10, 10 + width, 10 + height}, IDC_SPEED_SLIDER);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(slider.SubclassWindow(window));
    }
    static Heard Scroll(UINT message, UINT code, UINT position, HWND from)
    {
        return Heard{message, MAKEWPARAM(static_cast<int>(code), static_cast<int>(position)),
                     reinterpret_cast<LPARAM>(from)};
    }
    void Send(UINT message, int x, int y) { slider.SendMessage(message, MK_LBUTTON, MAKELPARAM(x, y)); }

    CCustomSlider slider;  // registers the window class before the window is made
    Host host;
};

TEST_F(SliderWindow, SetPosClampsAndSetRangeDoesNot)
{
    Make();
    struct Case {
        UINT minimum, maximum, set, expected;
    };
    const Case cases[] = {{1, 5, 3, 3},     {1, 5, 9, 5},     {1, 5, 0, 1},
                          {10, 20, 10, 10}, {10, 20, 20, 20}, {10, 20, 4, 10}};
    for (const Case& c : cases) {
        slider.SetRange(c.minimum, c.maximum);
        slider.SetPos(c.set);
        EXPECT_EQ(slider.GetPos(), c.expected) << c.set << " in " << c.minimum << ".." << c.maximum;
    }
    slider.SetRange(1, 5);
    slider.SetPos(5);
    slider.SetRange(10, 20);
    EXPECT_EQ(slider.GetPos(), 5u);
    slider.SetPos(slider.GetPos());
    EXPECT_EQ(slider.GetPos(), 10u);
}

TEST_F(SliderWindow, StylusTellsTheParentEveryChangeAndEndsWhenItLeaves)
{
    Make();
    slider.SetRange(1, 5);
    slider.SetReversed(TRUE);
    slider.SetBitmaps(SolidBitmap(80, 30, RGB(0, 0, 0)), SolidBitmap(20, 10, RGB(255, 0, 0)), nullptr);
    const HWND s = slider.m_hWnd;
    Send(WM_LBUTTONDOWN, 25, 15);
    EXPECT_EQ(GetCapture(), s);
    Send(WM_MOUSEMOVE, 69, 15);
    Send(WM_MOUSEMOVE, 70, 15);
    Send(WM_MOUSEMOVE, 100, 15);  // off the slider: the drag ends where it was
    EXPECT_EQ(GetCapture(), nullptr);
    Send(WM_MOUSEMOVE, 25, 15);  // no longer tracked
    Send(WM_LBUTTONUP, 25, 15);  // every release reports the position
    const std::vector<Heard> expected = {
        Scroll(WM_HSCROLL, SB_THUMBPOSITION, 4, s), Scroll(WM_HSCROLL, SB_THUMBTRACK, 2, s),
        Scroll(WM_HSCROLL, SB_THUMBTRACK, 1, s),    Scroll(WM_HSCROLL, SB_THUMBPOSITION, 1, s),
        Scroll(WM_HSCROLL, SB_THUMBPOSITION, 1, s),
    };
    EXPECT_EQ(host.heard, expected);
    EXPECT_EQ(slider.GetPos(), 1u);
}

TEST_F(SliderWindow, VerticalSliderReportsWithVScroll)
{
    Make(TBS_VERT, 30, 120);
    slider.SetRange(0, 10);
    slider.SetBitmaps(SolidBitmap(30, 120, RGB(0, 0, 0)), SolidBitmap(10, 20, RGB(255, 0, 0)), nullptr);
    // The first tap may come before the first paint.
    Send(WM_LBUTTONDOWN, 15, 60);
    Send(WM_LBUTTONUP, 15, 60);
    const HWND s = slider.m_hWnd;
    EXPECT_EQ(host.heard, (std::vector<Heard>{Scroll(WM_VSCROLL, SB_THUMBPOSITION, 5, s),
                                              Scroll(WM_VSCROLL, SB_THUMBPOSITION, 5, s)}));
    // The thumb is drawn centred across, its centre at row 60.
    Repaint(s);
    EXPECT_EQ(ColourBox(s, RGB(255, 0, 0)), (RECT{10, 50, 20, 70}));
}

TEST_F(SliderWindow, PaintsTrackAndThumbAndThePressedThumbWhileDragging)
{
    const COLORREF back = RGB(10, 20, 30);
    const COLORREF groove = RGB(0, 200, 0);
    const COLORREF thumb = RGB(255, 0, 0);
    const COLORREF pressed = RGB(0, 0, 255);
    for (const bool withPressed : {true, false}) {
        SCOPED_TRACE(withPressed ? "pressed image" : "no pressed image");
        CCustomSlider s;
        HWND window = host.Child(u"CustomSliderClass", u"", 0, RECT{0, 0, 80, 30}, IDC_FONT_SIZE_SLIDER);
        s.SubclassWindow(window);
        s.SetRange(1, 5);
        s.SetReversed(TRUE);
        s.SetPos(1);
        s.SetBackColor(back);
        // A track whose black surround lets the background through.
        std::vector<std::uint32_t> bits(80 * 30, 0);
        for (int x = 0; x < 80; ++x)
            bits[static_cast<std::size_t>(15 * 80 + x)] = 0x00C800;
        s.SetBitmaps(CreateBitmap(80, 30, 1, 32, bits.data()), SolidBitmap(20, 10, thumb),
                     withPressed ? SolidBitmap(20, 10, pressed) : nullptr);
        Repaint(window);
        EXPECT_EQ(PixelAt(window, 5, 5), back);
        EXPECT_EQ(PixelAt(window, 5, 15), groove);
        EXPECT_EQ(ColourBox(window, thumb), (RECT{60, 10, 80, 20}));  // centre 70
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 15));
        Repaint(window);
        const COLORREF dragged = withPressed ? pressed : thumb;
        EXPECT_EQ(ColourBox(window, dragged), (RECT{15, 10, 35, 20}));  // value 4, centre 25
        if (withPressed) {
            EXPECT_EQ(ColourBox(window, thumb).right, 0);
        }
        // The old thumb place is background again.
        EXPECT_EQ(PixelAt(window, 70, 12), back);
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(25, 15));
        Repaint(window);
        EXPECT_EQ(ColourBox(window, thumb), (RECT{15, 10, 35, 20}));
        DestroyWindow(window);
    }
}

TEST_F(SliderWindow, WithoutTrackOnlyTheBackgroundShows)
{
    Make();
    const COLORREF back = RGB(10, 20, 30);
    slider.SetBackColor(back);
    slider.SetBitmaps(nullptr, SolidBitmap(20, 10, RGB(255, 0, 0)), nullptr);
    Repaint(slider);
    EXPECT_EQ(ColourBox(slider, back, true).right, 0);
}

TEST_F(SliderWindow, ImagesAreOwnedAndEachDeletedOnce)
{
    HBITMAP track = SolidBitmap(80, 30, RGB(0, 0, 0));
    HBITMAP thumb = SolidBitmap(20, 10, RGB(255, 0, 0));
    HBITMAP newThumb = SolidBitmap(10, 10, RGB(0, 255, 0));
    {
        CCustomSlider s;
        s.SetBitmaps(track, thumb, nullptr);
        // The thumb doubles as the pressed thumb; replacing it deletes it once.
        s.SetBitmaps(nullptr, newThumb, nullptr);
        EXPECT_TRUE(Alive(track));
        EXPECT_FALSE(Alive(thumb));
        EXPECT_TRUE(Alive(newThumb));
        // The same image again must not delete it.
        s.SetBitmaps(track, newThumb, newThumb);
        EXPECT_TRUE(Alive(track));
        EXPECT_TRUE(Alive(newThumb));
    }
    EXPECT_FALSE(Alive(track));
    EXPECT_FALSE(Alive(newThumb));
}

TEST_F(SliderWindow, ParentlessSliderStillFollowsTheStylus)
{
    CCustomSlider s;
    ASSERT_TRUE(s.CreateEx(0, u"CustomSliderClass", u"", 0, RECT{0, 0, 80, 30}, nullptr, 0));
    s.SetRange(1, 5);
    s.SetBitmaps(nullptr, SolidBitmap(20, 10, RGB(255, 0, 0)), nullptr);
    s.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(70, 5));
    s.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(70, 5));
    EXPECT_EQ(s.GetPos(), 5u);
}

}  // namespace
