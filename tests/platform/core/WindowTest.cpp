#include "platform/core/Window.h"
#include "platform/core/ListView.h"
#include "platform/core/WindowObject.h"
#include "platform/gdi/Gdi.h"
#include "res/Resource.h"
#include "res/ResourceTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen> g_seen;
COLORREF g_paintColour = RGB(200, 10, 30);

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_seen.push_back({message, wParam, lParam});
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = CreateSolidBrush(g_paintColour);
        RECT r{2, 2, 6, 6};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = RecordingProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
        wc.lpszClassName = u"RecordingWindow";
        RegisterClassW(&wc);
    }
    void SetUp() override
    {
        g_seen.clear();
        m_parent =
            CreateWindowExW(0, u"RecordingWindow", u"parent", WS_VISIBLE, 0, 0, 100, 80, nullptr, 0, nullptr, nullptr);
        m_child = CreateWindowExW(0, u"RecordingWindow", u"child", WS_CHILD | WS_VISIBLE, 10, 20, 30, 40, m_parent, 7,
                                  nullptr, nullptr);
        g_seen.clear();
    }
    void TearDown() override { DestroyWindow(m_parent); }

    std::vector<UINT> Messages() const
    {
        std::vector<UINT> out;
        for (const Seen& s : g_seen)
            out.push_back(s.message);
        return out;
    }

    // What arrived besides the paints Qt asks for whenever it likes.
    static std::vector<Seen> NonPaint()
    {
        std::vector<Seen> out;
        for (const Seen& s : g_seen)
            if (s.message != WM_PAINT && s.message != WM_ERASEBKGND)
                out.push_back(s);
        return out;
    }

    static void ProcessUntil(const std::function<bool()>& done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }

    HWND m_parent = nullptr;
    HWND m_child = nullptr;
};

TEST_F(WindowTest, SendIsImmediateAndPostWaitsForTheLoop)
{
    PostMessageW(m_child, WM_USER + 2, 0, 0);
    EXPECT_EQ(SendMessageW(m_child, WM_USER + 1, 5, 6), 0);
    ASSERT_EQ(NonPaint().size(), 1u);
    EXPECT_EQ(NonPaint()[0].message, WM_USER + 1);
    EXPECT_EQ(NonPaint()[0].wParam, 5u);
    EXPECT_EQ(NonPaint()[0].lParam, 6);
    ProcessUntil([&] { return NonPaint().size() == 2; });
    ASSERT_EQ(NonPaint().size(), 2u);
    EXPECT_EQ(NonPaint()[1].message, WM_USER + 2);
}

TEST_F(WindowTest, PostedMessagesToADestroyedWindowAreDropped)
{
    PostMessageW(m_child, WM_USER + 3, 0, 0);
    DestroyWindow(m_child);
    g_seen.clear();
    QCoreApplication::processEvents();
    EXPECT_TRUE(NonPaint().empty());
    EXPECT_FALSE(IsWindow(m_child));
    EXPECT_EQ(GetDlgItem(m_parent, 7), nullptr);
}

TEST_F(WindowTest, TimerTicksUntilKilledAndCarriesItsId)
{
    SetTimer(m_child, 291, 10, nullptr);
    ProcessUntil([&] { return NonPaint().size() >= 2; });
    ASSERT_GE(NonPaint().size(), 2u);
    for (const Seen& s : NonPaint()) {
        EXPECT_EQ(s.message, WM_TIMER);
        EXPECT_EQ(s.wParam, 291u);
    }
    EXPECT_TRUE(KillTimer(m_child, 291));
    EXPECT_FALSE(KillTimer(m_child, 291));  // already stopped
    g_seen.clear();
    QTest::qWait(40);
    EXPECT_TRUE(NonPaint().empty());
}

TEST_F(WindowTest, PaintGoesToTheOffscreenImageAfterErase)
{
    InvalidateRect(m_child, nullptr, TRUE);
    UpdateWindow(m_child);
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    HDC dc = GetDC(m_child);
    EXPECT_EQ(GetPixel(dc, 3, 3), g_paintColour);
    EXPECT_EQ(GetPixel(dc, 10, 10), GetSysColor(COLOR_WINDOW));  // class background
    ReleaseDC(m_child, dc);
    g_seen.clear();
    UpdateWindow(m_child);  // nothing invalid: no paint
    EXPECT_TRUE(Messages().empty());
}

TEST_F(WindowTest, GeometryConvertsBetweenClientAndScreen)
{
    MoveWindow(m_parent, 0, 26, 100, 80, FALSE);
    RECT r;
    GetWindowRect(m_child, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 46);
    EXPECT_EQ(r.right, 40);
    EXPECT_EQ(r.bottom, 86);
    POINT p{1, 1};
    ClientToScreen(m_child, &p);
    EXPECT_EQ(p.x, 11);
    EXPECT_EQ(p.y, 47);
    ScreenToClient(m_child, &p);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, 1);
    GetClientRect(m_child, &r);
    EXPECT_EQ(r.right, 30);
    EXPECT_EQ(r.bottom, 40);
}

TEST_F(WindowTest, MoveSendsSizeWithPackedDimensions)
{
    MoveWindow(m_child, 1, 2, 50, 60, TRUE);
    ASSERT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen[0].message, WM_SIZE);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(g_seen[0].lParam)), 50);
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(g_seen[0].lParam)), 60);
}

TEST_F(WindowTest, MouseEventsArriveAsMessagesWithKeyFlagsAndPackedPoint)
{
    QWidget* widget = platform::core::Lookup(m_child)->widget;
    QTest::mousePress(widget, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 9));
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(5, 9));
    std::vector<Seen> mouse;
    for (const Seen& s : g_seen)
        if (s.message == WM_LBUTTONDOWN || s.message == WM_LBUTTONUP)
            mouse.push_back(s);
    ASSERT_EQ(mouse.size(), 2u);
    EXPECT_EQ(mouse[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(mouse[0].wParam, MK_LBUTTON | MK_CONTROL);
    EXPECT_EQ(GET_X_LPARAM(mouse[0].lParam), 5);
    EXPECT_EQ(GET_Y_LPARAM(mouse[0].lParam), 9);
    EXPECT_EQ(mouse[1].message, WM_LBUTTONUP);
    EXPECT_EQ(mouse[1].wParam & MK_LBUTTON, 0u);
}

TEST_F(WindowTest, CaptureRedirectsTheStylusToTheCapturingWindow)
{
    SetCapture(m_parent);
    QWidget* widget = platform::core::Lookup(m_child)->widget;
    QTest::mouseMove(widget, QPoint(3, 4));
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(3, 4));
    ReleaseCapture();
    // The parent heard the press at the child's point in its own client
    // coordinates (the child sits at 10, 20).
    bool found = false;
    for (const Seen& s : g_seen)
        if (s.message == WM_LBUTTONDOWN) {
            EXPECT_EQ(GET_X_LPARAM(s.lParam), 13);
            EXPECT_EQ(GET_Y_LPARAM(s.lParam), 24);
            found = true;
        }
    EXPECT_TRUE(found);
}

TEST_F(WindowTest, TextAndStyleAttributes)
{
    SetWindowTextW(m_child, u"Hello");
    WCHAR buffer[4];
    EXPECT_EQ(GetWindowTextW(m_child, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Hel");
    EXPECT_EQ(GetWindowTextLengthW(m_child), 5);
    EXPECT_EQ(GetDlgCtrlID(m_child), 7);
    EXPECT_EQ(GetDlgItem(m_parent, 7), m_child);
    EXPECT_EQ(GetParent(m_child), m_parent);
    EXPECT_TRUE(IsWindowVisible(m_child));
    ShowWindow(m_parent, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(m_child));  // hidden with its parent
}

TEST_F(WindowTest, WindowShownAgainIsPainted)
{
    struct Case {
        const char* name;
        std::function<void()> show;
    };
    const Case cases[] = {
        {"ShowWindow", [&] { ShowWindow(m_child, SW_SHOW); }},
        {"SetWindowPos",
         [&] { SetWindowPos(m_child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTest::qWait(20);
        ShowWindow(m_child, SW_HIDE);
        QCoreApplication::processEvents();
        g_seen.clear();
        c.show();
        ProcessUntil([&] { return !Messages().empty() && Messages().back() == WM_ERASEBKGND; });
        // Painted afresh, background and all, by the event loop.
        EXPECT_EQ(Messages(), (std::vector<UINT>{WM_SHOWWINDOW, WM_PAINT, WM_ERASEBKGND}));
    }
}

TEST_F(WindowTest, StaticWithoutNotifyLetsTheTapThroughToTheWindowBeneath)
{
    struct Case {
        const char* name;
        DWORD style;
        RECT place;   // of the static, in the parent
        bool passed;  // the tap goes through to the window beneath
        POINT at;     // where it lands, in that window's client coordinates
    };
    // The static sits at (10, 20): over the child, or over bare parent.
    const RECT overChild{10, 20, 40, 40};
    const RECT overParent{50, 10, 90, 30};
    const Case cases[] = {
        {"over the parent", SS_LEFT, overParent, true, POINT{55, 16}},
        {"over a sibling", SS_LEFT, overChild, true, POINT{5, 6}},
        {"with SS_NOTIFY", SS_LEFT | SS_NOTIFY, overParent, false, POINT{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND label =
            CreateWindowExW(0, u"static", u"text", WS_CHILD | WS_VISIBLE | c.style, c.place.left, c.place.top,
                            c.place.right - c.place.left, c.place.bottom - c.place.top, m_parent, 9, nullptr, nullptr);
        g_seen.clear();
        QWidget* widget = platform::core::Lookup(label)->widget;
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(5, 6));
        std::vector<Seen> downs;
        for (const Seen& s : g_seen)
            if (s.message == WM_LBUTTONDOWN)
                downs.push_back(s);
        if (!c.passed) {
            EXPECT_TRUE(downs.empty());
        } else {
            ASSERT_EQ(downs.size(), 1u);
            EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), c.at.x);
            EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), c.at.y);
        }
        DestroyWindow(label);
    }
}

TEST_F(WindowTest, ModifyStylePassesItsFlagsOn)
{
    struct Case {
        const char* name;
        UINT flags;
        int frame;  // of the list, after WS_BORDER was added
        bool visible;
    };
    const Case cases[] = {
        {"no flags: the frame waits", 0, 0, true},
        {"frame changed", SWP_FRAMECHANGED, 1, true},
        {"hidden as well", SWP_FRAMECHANGED | SWP_HIDEWINDOW, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWnd list;
        ASSERT_TRUE(list.SubclassWindow(CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                                        60, 50, m_parent, 11, nullptr, nullptr)));
        QTableView* table = platform::core::Lookup(list.m_hWnd)->widget->findChild<QTableView*>();
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->frameWidth(), 0);
        EXPECT_TRUE(list.ModifyStyle(0, WS_BORDER, c.flags));
        EXPECT_EQ(table->frameWidth(), c.frame);
        EXPECT_EQ(list.IsWindowVisible() != FALSE, c.visible);
        list.DestroyWindow();
    }
}

TEST(WindowClasses, UnknownClassAndDoubleRegistrationFail)
{
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, nullptr, 0, nullptr, nullptr), nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"OnceOnly";
    EXPECT_TRUE(RegisterClassW(&wc));
    EXPECT_FALSE(RegisterClassW(&wc));
    WNDCLASSW info{};
    EXPECT_TRUE(GetClassInfoW(nullptr, u"onceonly", &info));  // names ignore case
}

TEST(Screen, HandheldScreenAndWorkArea)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 320);
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.top, 26);
    EXPECT_EQ(work.bottom, 294);
    EXPECT_EQ(work.right, 240);
}

// Pixels of an icon static's image that differ from its background.
int IconPixels(HWND icon)
{
    InvalidateRect(icon, nullptr, TRUE);
    UpdateWindow(icon);
    HDC dc = GetDC(icon);
    const COLORREF background = GetPixel(dc, 0, 0);
    int count = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            count += GetPixel(dc, x, y) != background ? 1 : 0;
    ReleaseDC(icon, dc);
    return count;
}

TEST(IconStatic, DrawsTheIconItsTextNamesAndFollowsTextChanges)
{
    HWND parent = CreateWindowExW(0, u"static", u"", WS_VISIBLE, 0, 0, 100, 80, nullptr, 0, nullptr, nullptr);
    HWND icon = CreateWindowExW(0, u"static", NumberedName(IDI_ACTIVITY).text, WS_CHILD | WS_VISIBLE | SS_ICON, 0, 0,
                                40, 40, parent, 1, nullptr, nullptr);
    ASSERT_NE(icon, nullptr);
    EXPECT_GT(IconPixels(icon), 50);
    // Centred: the 32-pixel icon leaves the 4-pixel border alone.
    HDC dc = GetDC(icon);
    const COLORREF background = GetPixel(dc, 0, 0);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(GetPixel(dc, i, 1), background);
        EXPECT_EQ(GetPixel(dc, 1, i), background);
    }
    ReleaseDC(icon, dc);
    SetWindowTextW(icon, u"#999");  // no such icon: only the background
    EXPECT_EQ(IconPixels(icon), 0);
    SetWindowTextW(icon, NumberedName(IDI_ACTIVITY).text);
    EXPECT_GT(IconPixels(icon), 50);
    DestroyWindow(parent);
}

}  // namespace
