// What the tab tests share: the control with its insides in reach, a parent
// window that records the notifications it hears, and a fixture that puts a
// tab control of a given style and size on such a parent.
#pragma once

#include "controls/CustomTabContainer.h"
#include "res/Resource.h"
#include "tests/support/PlainWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// The control with its members and layout steps public, for the tests.
template <class Base> class Exposed : public Base {
public:
    using Base::DrawGlyph;
    using Base::EditorExists;
    using Base::Geometry;
    using Base::m_boldFont;
    using Base::m_closeButton;
    using Base::m_editor;
    using Base::m_firstButton;
    using Base::m_firstVisible;
    using Base::m_font;
    using Base::m_glyphColors;
    using Base::m_items;
    using Base::m_lastButton;
    using Base::m_nextButton;
    using Base::m_prevButton;
    using Base::m_selected;
    using Base::RecalcOffset;
    using Base::RecalcRectangles;

    const TabItem& Item(int i) const { return *this->m_items.at(static_cast<std::size_t>(i)); }
    CString Title(int i) const { return Item(i).text; }
    // The centre of a tab, where a tap lands on it.
    POINT Centre(int i) const
    {
        const RECT& r = Item(i).rect;
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
};

using TestTab = Exposed<CCustomTabCtrl>;
using TestContainer = Exposed<CCustomTabContainer>;

// One notification as the parent heard it.
struct Heard {
    UINT code;
    int item;
    bool operator==(const Heard&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Heard& h)
{
    return out << "{code " << static_cast<int>(h.code) << ", item " << h.item << "}";
}

// A parent window that keeps every notification and answers with answer().
class Recorder : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY) {
            const auto& record = *reinterpret_cast<const TabNotify*>(lParam);
            heard.push_back(Heard{record.hdr.code, record.item});
            records.push_back(record);
            return answer ? answer(record) : 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<Heard> heard;
    std::vector<TabNotify> records;
    std::function<LRESULT(const TabNotify&)> answer;
};

constexpr int kTabId = IDC_TABS;

// A parent of 240 x 320 with a tab control of the given style at (left, top).
template <class Control> class TabFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreatePlainWindow(parent, RECT{0, 0, 240, 320})); }

    // Creates the control's window and attaches it, as a dialog does.
    Control& Make(DWORD style, int width = 200, int height = 100, int left = 0, int top = 0)
    {
        tab = std::make_unique<Control>();
        HWND window = CreateWindowExW(0, u"CCustomTabCtrl", u"", WS_CHILD | WS_VISIBLE | style, left, top, width,
                                      height, parent.m_hWnd, kTabId, AfxGetInstanceHandle(), nullptr);
        EXPECT_NE(window, nullptr);
        EXPECT_TRUE(tab->SubclassWindow(window));
        return *tab;
    }

    // Adds tabs with the given titles at the end.
    void Add(std::initializer_list<const char16_t*> titles)
    {
        for (const char16_t* title : titles)
            ASSERT_GE(tab->InsertItem(tab->GetItemCount(), title, 0), 0);
    }

    void Tap(POINT p, UINT flags = 0)
    {
        tab->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | flags, MAKELPARAM(p.x, p.y));
        tab->SendMessage(WM_LBUTTONUP, flags, MAKELPARAM(p.x, p.y));
    }

    void TearDown() override
    {
        tab.reset();
        parent.DestroyWindow();
    }

    Recorder parent;
    std::unique_ptr<Control> tab;
};

// The program's own control: top strip, page area, buttons only when needed.
constexpr DWORD kProgramStyle = TabStyleTop | TabStylePageArea | TabStyleAutoHideButtons;
