#include "platform/core/Wnd.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A parent that records what reaches it, and a child control that takes its
// own notifications back when asked to.
class Parent : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND || message == WM_CTLCOLORSTATIC)
            heard.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> heard;
};

class Child : public CWnd {
public:
    BOOL OnChildNotify(UINT message, WPARAM, LPARAM, LRESULT* result) override
    {
        if (!reflect)
            return FALSE;
        reflected.push_back(message);
        *result = 42;
        return TRUE;
    }
    bool reflect = false;
    std::vector<UINT> reflected;
};

class Reflection : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"ReflectionTestWindow";
        RegisterClassW(&wc);
        ASSERT_TRUE(parent.CreateEx(0, u"ReflectionTestWindow", u"", 0, RECT{0, 0, 50, 50}, nullptr, 0));
        ASSERT_TRUE(child.CreateEx(0, u"ReflectionTestWindow", u"", WS_CHILD, RECT{0, 0, 10, 10}, &parent, 5));
    }
    Parent parent;
    Child child;
};

TEST_F(Reflection, ParentHandlesNotificationsTheChildDoesNotTake)
{
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), reinterpret_cast<LPARAM>(child.m_hWnd));
    EXPECT_EQ(parent.heard, std::vector<UINT>{WM_COMMAND});
    EXPECT_TRUE(child.reflected.empty());
}

TEST_F(Reflection, ChildThatTakesItsNotificationHidesItFromTheParent)
{
    child.reflect = true;
    const LRESULT result = parent.SendMessage(WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(child.m_hWnd));
    EXPECT_EQ(result, 42);
    EXPECT_EQ(child.reflected, std::vector<UINT>{WM_CTLCOLORSTATIC});
    EXPECT_TRUE(parent.heard.empty());
}

TEST_F(Reflection, NotifyRecordsReflectThroughTheirSender)
{
    child.reflect = true;
    NMHDR header{child.m_hWnd, 5, NM_CLICK};
    parent.SendMessage(WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(child.reflected, std::vector<UINT>{WM_NOTIFY});
}

TEST_F(Reflection, ObjectOutlivedByNothing)
{
    HWND window = child.m_hWnd;
    child.DestroyWindow();
    EXPECT_EQ(child.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandle(window), nullptr);
}

}  // namespace
