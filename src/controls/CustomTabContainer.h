// CCustomTabContainer: the tab control with one page window per tab. It
// keeps the pages in step with the tabs, places each page over the page
// area, shows the selected tab's page and hides the others, and owns the
// page objects.
#pragma once

#include "controls/CustomTabCtrl.h"

#include <vector>

class CCustomTabContainer : public CCustomTabCtrl {
    DECLARE_DYNAMIC(CCustomTabContainer)

public:
    CCustomTabContainer();
    ~CCustomTabContainer() override;

    // Adds a tab with its page, which the container owns from now on. The
    // page's window must exist as a sibling of the container. Returns the
    // tab's index, or a TabErr code when the tab could not be added (the page
    // is then deleted at once, so that every tab keeps its own page).
    int AddPage(int index, const CString& title, CWnd* page);
    // Removes a tab and deletes its page.
    void DeletePage(int index);
    // Places every page over the page area; only the selected one is shown.
    void UpdatePages();
    // Takes the frame off a window and makes it a child window.
    static void MakeChild(HWND window);

    // The page of a tab, or null.
    CWnd* GetPage(int index) const;

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    std::vector<CWnd*> m_pages;
};
