#include "controls/CustomTabContainer.h"

namespace {

// WS_POPUP, WS_BORDER, WS_DLGFRAME and DS_MODALFRAME go; WS_CHILD comes.
constexpr DWORD kKeepStyles = 0x3F3FFF7F;

}  // namespace

IMPLEMENT_DYNAMIC(CCustomTabContainer, CCustomTabCtrl)

CCustomTabContainer::CCustomTabContainer() = default;

CCustomTabContainer::~CCustomTabContainer()
{
    for (CWnd* page : m_pages)
        delete page;
    m_pages.clear();
}

void CCustomTabContainer::MakeChild(HWND window)
{
    if (!IsWindow(window))
        return;
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    SetWindowLongW(window, GWL_STYLE, static_cast<LONG>((style & kKeepStyles) | WS_CHILD));
}

CWnd* CCustomTabContainer::GetPage(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_pages.size()))
        return nullptr;
    return m_pages[static_cast<std::size_t>(index)];
}

int CCustomTabContainer::AddPage(int index, const CString& title, CWnd* page)
{
    MakeChild(page != nullptr ? page->GetSafeHwnd() : nullptr);
    const int result = InsertItem(index, title.empty() ? CString(u"<No title>") : title, 0);
    if (result < 0) {
        // A page without a tab could never be shown, and it would shift the
        // pages of every later tab: it goes at once.
        delete page;
        return result;
    }
    m_pages.insert(m_pages.begin() + index, page);
    if (m_selected < 0) {
        SetCurSel(index, FALSE, FALSE);
        UpdatePages();
    }
    return result;
}

void CCustomTabContainer::DeletePage(int index)
{
    if (!ValidIndex(index))
        return;
    DeleteItem(index);
    if (index < static_cast<int>(m_pages.size())) {
        delete m_pages[static_cast<std::size_t>(index)];
        m_pages.erase(m_pages.begin() + index);
    }
    UpdatePages();
}

void CCustomTabContainer::UpdatePages()
{
    RECT page{};
    GetClientRect(&page);
    RECT window{};
    GetWindowRect(&window);
    AdjustRect(FALSE, &page);

    if (m_pages.empty()) {
        // Nothing covers the page area: it takes the strip's colour.
        if (HDC dc = GetDC()) {
            HBRUSH brush = CreateSolidBrush(m_colors.stripBack);
            FillRect(dc, &page, brush);
            DeleteObject(brush);
            ReleaseDC(dc);
        }
    }
    CWnd* selected = GetPage(m_selected);
    if (!ValidIndex(m_selected))
        return;
    if (selected != nullptr)
        selected->ShowWindow(SW_HIDE);

    // The page area in the parent's client coordinates, where the pages live.
    POINT origin{window.left, window.top};
    ::ScreenToClient(GetParentHwnd(), &origin);
    const int left = page.left + origin.x;
    const int top = page.top + origin.y;
    const int width = page.right - page.left;
    const int height = page.bottom - page.top;
    for (CWnd* p : m_pages)
        if (p != nullptr)
            ::SetWindowPos(p->GetSafeHwnd(), HWND_TOP, left, top, width, height, SWP_HIDEWINDOW);
    if (selected != nullptr) {
        ::SetWindowPos(selected->GetSafeHwnd(), HWND_TOP, left, top, width, height, SWP_SHOWWINDOW);
        selected->ShowWindow(SW_SHOW);
    }
}

BOOL CCustomTabContainer::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message != WM_NOTIFY || lParam == 0)
        return CCustomTabCtrl::OnChildNotify(message, wParam, lParam, result);
    const auto* record = reinterpret_cast<const TabNotify*>(lParam);
    if (record->hdr.hwndFrom != m_hWnd)
        return FALSE;
    if (record->hdr.code == TabNotifySelChange) {
        UpdatePages();
    } else if (record->hdr.code == NM_CLICK) {
        // The close button removes the selected tab and its page.
        if (record->item == HitItem(TabHit::Close))
            DeletePage(m_selected);
        UpdatePages();
    } else {
        return FALSE;
    }
    if (result != nullptr)
        *result = 0;
    return TRUE;
}
