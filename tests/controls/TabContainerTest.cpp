// The tab container: one page per tab, placed over the page area, the
// selected one shown on top, pages owned and deleted with their tabs.
#include "TabTestSupport.h"

#include "platform/Testing.h"

namespace {

// A page that says when it is deleted.
class Page : public CWnd {
public:
    explicit Page(int* deleted) : m_deleted(deleted) { }
    ~Page() override { ++*m_deleted; }

private:
    int* m_deleted;
};

class Container : public TabFixture<TestContainer> {
protected:
    void SetUp() override
    {
        TabFixture::SetUp();
        parent.ShowWindow(SW_SHOW);
    }

    // The program's container: at (3, 4), its strip across the top.
    TestContainer& MakeContainer(DWORD extra = 0)
    {
        TestContainer& c = Make(0, 200, 150, 3, 4);
        c.ModifyTabStyle(0, WS_VISIBLE | kProgramStyle | extra, 0);
        return c;
    }

    // A page window with a frame of its own, as a dialog comes.
    Page* NewPage()
    {
        auto* page = new Page(&deleted);
        EXPECT_TRUE(
            CreatePlainWindow(*page, RECT{0, 0, 50, 50}, &parent, WS_POPUP | WS_BORDER | DS_MODALFRAME | 0x00400000));
        return page;
    }

    static RECT WindowPlace(HWND window) { return platform::testing::WindowPlace(window); }

    int deleted = 0;
};

TEST_F(Container, FirstPageIsSelectedAndShownOverThePageArea)
{
    TestContainer& c = MakeContainer();
    Page* first = NewPage();
    Page* second = NewPage();
    EXPECT_EQ(c.AddPage(0, u"Scanner", first), 0);
    EXPECT_EQ(c.GetCurSel(), 0);
    EXPECT_TRUE(first->IsWindowVisible());
    const DWORD style = first->GetStyle();
    EXPECT_NE(style & WS_CHILD, 0u);
    EXPECT_EQ(style & (WS_POPUP | WS_BORDER | 0x00400000 | DS_MODALFRAME), 0u);
    // Below the 25-row strip, in the parent's coordinates.
    const RECT place = WindowPlace(first->m_hWnd);
    EXPECT_EQ(place.left, 3);
    EXPECT_EQ(place.top, 4 + 25);
    EXPECT_EQ(place.right, 3 + 200);
    EXPECT_EQ(place.bottom, 4 + 150);

    EXPECT_EQ(c.AddPage(1, u"Options", second), 1);
    EXPECT_EQ(c.GetCurSel(), 0);
    EXPECT_TRUE(first->IsWindowVisible());
    EXPECT_FALSE(second->IsWindowVisible());
    EXPECT_EQ(c.GetPage(1), second);
}

TEST_F(Container, TappingATabShowsItsPageOnTop)
{
    TestContainer& c = MakeContainer();
    Page* first = NewPage();
    Page* second = NewPage();
    c.AddPage(0, u"Scanner", first);
    c.AddPage(1, u"Options", second);
    Tap(c.Centre(1));
    EXPECT_EQ(c.GetCurSel(), 1);
    EXPECT_TRUE(second->IsWindowVisible());
    EXPECT_FALSE(first->IsWindowVisible());
    EXPECT_EQ(WindowPlace(second->m_hWnd).top, 29);
    // Whatever lies under the page area in the parent is the shown page.
    EXPECT_EQ(platform::testing::WindowAt(parent.m_hWnd, POINT{50, 80}), second->m_hWnd);
    // The reflected notifications stay with the container.
    EXPECT_TRUE(parent.heard.empty());
}

TEST_F(Container, EmptyTitleShowsAsNoTitle)
{
    TestContainer& c = MakeContainer();
    c.AddPage(0, u"", NewPage());
    EXPECT_EQ(c.Title(0), u"<No title>");
}

TEST_F(Container, CloseButtonRemovesTheSelectedTabAndItsPage)
{
    TestContainer& c = MakeContainer(TabStyleCloseButton);
    Page* pages[] = {NewPage(), NewPage(), NewPage()};
    c.AddPage(0, u"A", pages[0]);
    c.AddPage(1, u"B", pages[1]);
    c.AddPage(2, u"C", pages[2]);
    Tap(c.Centre(1));
    ASSERT_EQ(c.GetCurSel(), 1);
    ASSERT_EQ(c.HitTest(5, 5), HitItem(TabHit::Close));

    Tap(POINT{5, 5});
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(c.GetItemCount(), 2);
    // The right-hand neighbour takes the place and its page is shown.
    EXPECT_EQ(c.GetCurSel(), 1);
    EXPECT_EQ(c.Title(1), u"C");
    EXPECT_EQ(c.GetPage(1), pages[2]);
    EXPECT_TRUE(pages[2]->IsWindowVisible());
    EXPECT_FALSE(pages[0]->IsWindowVisible());
}

TEST_F(Container, RemovingTheLastPageFillsThePageAreaWithTheStripColour)
{
    TestContainer& c = MakeContainer();
    TabColors colors;
    c.GetColors(&colors);
    colors.stripBack = RGB(12, 34, 56);
    c.SetColors(&colors, FALSE);
    c.AddPage(0, u"Only", NewPage());
    c.DeletePage(0);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(c.GetItemCount(), 0);
    HDC dc = c.GetDC();
    EXPECT_EQ(GetPixel(dc, 100, 100), RGB(12, 34, 56));
    EXPECT_EQ(GetPixel(dc, 0, 25), RGB(12, 34, 56));
    c.ReleaseDC(dc);
    // Out of range: nothing.
    c.DeletePage(0);
    EXPECT_EQ(deleted, 1);
}

TEST_F(Container, RefusedTabTakesItsPageAlongSoTabsAndPagesStayInStep)
{
    TestContainer& c = MakeContainer();
    c.AddPage(0, u"A", NewPage());
    EXPECT_EQ(c.AddPage(1, CString(30, u'x'), NewPage()), TabErrTextTooLong);
    EXPECT_EQ(c.AddPage(5, u"B", NewPage()), TabErrIndex);
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(c.GetItemCount(), 1);
    EXPECT_EQ(c.GetPage(1), nullptr);
}

TEST_F(Container, PagelessTabAndDestructionDeleteWhatTheContainerOwns)
{
    TestContainer& c = MakeContainer();
    c.AddPage(0, u"Nothing", nullptr);
    c.AddPage(1, u"Page", NewPage());
    Tap(c.Centre(1));
    Tap(c.Centre(0));
    EXPECT_EQ(c.GetCurSel(), 0);
    tab.reset();
    EXPECT_EQ(deleted, 1);
}

TEST_F(Container, MakeChildWithoutAWindowChangesNothing)
{
    CCustomTabContainer::MakeChild(nullptr);
    Page* page = NewPage();
    CCustomTabContainer::MakeChild(page->m_hWnd);
    EXPECT_EQ(page->GetStyle() & (WS_POPUP | WS_CHILD), WS_CHILD);
    delete page;
}

}  // namespace
