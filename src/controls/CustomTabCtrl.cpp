// The tabs of the tab control and the operations on them: insert, delete,
// select, highlight, styles, fonts and colours.
#include "controls/CustomTabCtrl.h"

#include <algorithm>
#include <new>

namespace {

constexpr const WCHAR* kClassName = u"CCustomTabCtrl";
constexpr DWORD kClipChildren = 0x02000000;
// The button-face system colour, as a class background (index + 1).
constexpr std::uintptr_t kClassBackground = 0x40000010;

// The six 8 x 7 button glyphs side by side: first, back, forward, last,
// close and a solid block. A clear bit is a glyph pixel.
constexpr BYTE kGlyphBits[7 * 6] = {
    0xBD, 0xFB, 0xDF, 0xBD, 0x3C, 0x00,  //
    0xB9, 0xF3, 0xCF, 0x9D, 0x99, 0x00,  //
    0xB1, 0xE3, 0xC7, 0x8D, 0xC3, 0x00,  //
    0xA3, 0xC7, 0xE3, 0xC5, 0xE7, 0x00,  //
    0xB1, 0xE3, 0xC7, 0x8D, 0xC3, 0x00,  //
    0xB9, 0xF3, 0xCF, 0x9D, 0x99, 0x00,  //
    0xBD, 0xFB, 0xDF, 0xBD, 0x3C, 0x00,  //
};

COLORREF SystemColour(int index)
{
    return GetSysColor(SYS_COLOR_INDEX_FLAG | index);
}

bool LargeScreen()
{
    return GetSystemMetrics(SM_CXSCREEN) > 320 || GetSystemMetrics(SM_CYSCREEN) > 320;
}

}  // namespace

LOGFONTW TabDefaultFont(int height)
{
    LOGFONTW font;
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = 1;
    font.lfClipPrecision = 1;
    const std::u16string face = u"Tahoma";
    std::copy(face.begin(), face.end(), font.lfFaceName);
    return font;
}

IMPLEMENT_DYNAMIC(CCustomTabCtrl, CWnd)

BOOL CCustomTabCtrl::RegisterWindowClass()
{
    WNDCLASSW existing{};
    if (GetClassInfoW(AfxGetInstanceHandle(), kClassName, &existing))
        return TRUE;
    WNDCLASSW wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(kClassBackground);
    wc.lpszClassName = kClassName;
    return RegisterClassW(&wc);
}

CCustomTabCtrl::CCustomTabCtrl()
{
    RegisterWindowClass();
    m_glyphs = CreateBitmap(48, 7, 1, 1, kGlyphBits);
    m_colors = TabColors{
        SystemColour(COLOR_WINDOW),    SystemColour(COLOR_BTNFACE),    SystemColour(COLOR_WINDOW),
        SystemColour(COLOR_BTNTEXT),   SystemColour(COLOR_WINDOWTEXT), SystemColour(COLOR_BTNTEXT),
        SystemColour(COLOR_BTNSHADOW),
    };
    const bool large = LargeScreen();
    m_stripHeight = large ? 50 : 25;
    SetControlFont(TabDefaultFont(large ? 24 : 12), FALSE);
}

CCustomTabCtrl::~CCustomTabCtrl()
{
    m_items.clear();
    if (m_editor.GetSafeHwnd() != nullptr)
        m_editor.DestroyWindow();
    DeleteObject(m_glyphs);
    DeleteObject(m_boldFont);
    DeleteObject(m_font);
}

void CCustomTabCtrl::PreSubclassWindow()
{
    ModifyStyle(0, kClipChildren);
    RecalcLayout(TabRecalc::Plain, m_selected);
}

int CCustomTabCtrl::InsertItem(int index, const CString& title, DWORD data)
{
    if (index < 0 || index > GetItemCount())
        return TabErrIndex;
    if (title.size() > static_cast<std::size_t>(kTabMaxTitle))
        return TabErrTextTooLong;
    std::unique_ptr<TabItem> item(new (std::nothrow) TabItem);
    if (!item)
        return TabErrOutOfMemory;
    item->text = title;
    item->data = data;
    try {
        m_items.insert(m_items.begin() + index, std::move(item));
    } catch (const std::bad_alloc&) {
        return TabErrOutOfMemory;
    }
    // The selected tab keeps its identity when a tab goes in before it.
    if (m_selected >= index)
        ++m_selected;
    RecalcLayout(TabRecalc::Plain, m_selected);
    InvalidateStrip();
    return index;
}

int CCustomTabCtrl::DeleteItem(int index)
{
    if (!ValidIndex(index))
        return TabErrIndex;
    if (GetItemCount() == 1) {
        m_selected = -1;
    } else if (index == m_selected) {
        if (index == GetItemCount() - 1) {
            --m_selected;
            m_items[static_cast<std::size_t>(m_selected)]->selected = TRUE;
        } else {
            // The right-hand neighbour takes this index once the tab is gone.
            m_items[static_cast<std::size_t>(index) + 1]->selected = TRUE;
        }
    } else if (index < m_selected) {
        --m_selected;
    }
    m_items.erase(m_items.begin() + index);
    RecalcLayout(TabRecalc::Plain, m_selected);
    InvalidateStrip();
    return 0;
}

int CCustomTabCtrl::SetCurSel(int index, BOOL byMouse, BOOL ctrlDown)
{
    if (!ValidIndex(index))
        return TabErrIndex;
    if (ValidIndex(m_selected))
        m_items[static_cast<std::size_t>(m_selected)]->selected = FALSE;
    m_selected = index;
    m_items[static_cast<std::size_t>(index)]->selected = TRUE;
    if (byMouse) {
        RecalcLayout(TabRecalc::EnsureVisible, index);
    } else {
        // Chosen by the program: the tab scrolls to the first place.
        m_firstVisible = index;
        RecalcLayout(TabRecalc::Plain, index);
    }
    InvalidateStrip();
    HighlightItem(index, byMouse, ctrlDown);
    return 0;
}

int CCustomTabCtrl::HighlightItem(int index, BOOL byMouse, BOOL ctrlDown)
{
    if (!HasStyle(TabStyleMultiHighlight))
        return TabErrNoMultiHighlight;
    if (!ValidIndex(index))
        return TabErrIndex;
    for (auto& item : m_items)
        item->highlightChanged = FALSE;
    TabItem& target = *m_items[static_cast<std::size_t>(index)];
    if (ctrlDown) {
        // Ctrl toggles any tab but the selected one.
        if (index != m_selected) {
            target.highlighted = !target.highlighted;
            if (byMouse)
                target.highlightChanged = TRUE;
        }
    } else if (!target.highlighted) {
        target.highlighted = TRUE;
        target.highlightChanged = TRUE;
        for (int i = 0; i < GetItemCount(); ++i) {
            TabItem& item = *m_items[static_cast<std::size_t>(i)];
            if (i != m_selected && item.highlighted) {
                item.highlighted = FALSE;
                if (byMouse)
                    item.highlightChanged = TRUE;
            }
        }
    }
    if (byMouse)
        RecalcLayout(TabRecalc::EnsureVisible, index);
    InvalidateStrip();
    return 0;
}

BOOL CCustomTabCtrl::ModifyTabStyle(DWORD remove, DWORD add, UINT flags)
{
    // Without the style no tap clears the change marks any more, so they go
    // now; left set they would be told again after every later tap.
    if (remove & TabStyleMultiHighlight)
        for (auto& item : m_items)
            item->highlighted = item->highlightChanged = FALSE;
    if ((add & TabStyleMultiHighlight) && ValidIndex(m_selected))
        m_items[static_cast<std::size_t>(m_selected)]->highlighted = TRUE;
    // The vertical bits can be taken away but never given this way.
    ModifyStyle(remove | TabStyleVertical, add & ~TabStyleVertical, flags);
    RecalcLayout(TabRecalc::Plain, m_selected);
    InvalidateStrip();
    return TRUE;
}

void CCustomTabCtrl::SetControlFont(const LOGFONTW& font, BOOL redraw)
{
    DeleteObject(m_font);
    DeleteObject(m_boldFont);
    m_font = CreateFontIndirectW(&font);
    if (m_font == nullptr) {
        const LOGFONTW fallback = TabDefaultFont();
        m_font = CreateFontIndirectW(&fallback);
    }
    LOGFONTW bold;
    if (GetObjectW(m_font, sizeof(bold), &bold) == 0)
        bold = TabDefaultFont();
    bold.lfWeight = FW_BOLD;
    m_boldFont = CreateFontIndirectW(&bold);
    if (redraw) {
        RecalcLayout(TabRecalc::Plain, m_selected);
        Invalidate(TRUE);
    }
}

void CCustomTabCtrl::SetColors(const TabColors* colors, BOOL redraw)
{
    if (colors != nullptr)
        m_colors = *colors;
    if (redraw)
        InvalidateStrip();
}

void CCustomTabCtrl::GetColors(TabColors* colors) const
{
    if (colors != nullptr)
        *colors = m_colors;
}

LRESULT CCustomTabCtrl::AdjustRect(BOOL larger, RECT* rect)
{
    if (!IsWindow(m_hWnd))
        return 0;
    return SendMessage(TCM_ADJUSTRECT, static_cast<WPARAM>(larger), reinterpret_cast<LPARAM>(rect));
}

int CCustomTabCtrl::TextHeight(const CString& text) const
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, m_boldFont);
    RECT r{0, 0, 0, 0};
    const int height = DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    if (old != nullptr)
        SelectObject(dc, old);
    DeleteDC(dc);
    return height;
}

LRESULT CCustomTabCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND:
        // The strip is painted whole; pages cover the rest.
        return 1;
    case WM_SIZE: {
        const LRESULT result = Default();
        if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0 && HIWORD(static_cast<std::uintptr_t>(lParam)) != 0)
            RecalcLayout(TabRecalc::Plain, m_selected);
        return result;
    }
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == kTabEditorNotifyUpdate && LOWORD(wParam) == kTabEditorId) {
            OnEditorUpdate();
            return 0;
        }
        break;
    case TCM_ADJUSTRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (rect == nullptr || !HasStyle(TabStylePageArea))
            return 0;
        if (wParam != 0) {
            GetWindowRect(rect);
        } else if (HasStyle(TabStyleTop)) {
            // The rectangle is taken to start at 0, as a client rectangle does.
            rect->top = m_stripHeight;
        } else {
            rect->bottom -= m_stripHeight;
        }
        return 0;
    }
    default: break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
