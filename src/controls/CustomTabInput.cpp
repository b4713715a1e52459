// Input of the tab control: taps, double taps and held scroll buttons, the
// notifications sent to the parent, and the in-place title editor with its
// own message loop.
#include "controls/CustomTabCtrl.h"

#include "platform/core/Edit.h"
#include "platform/core/MessageQueue.h"

#include <cstring>

namespace {

constexpr DWORD kEditorStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
constexpr LPARAM kAltF4Mask = 0x1D;

// The layout pass a scroll button runs.
TabRecalc ScrollKind(TabHit hit)
{
    switch (hit) {
    case TabHit::First: return TabRecalc::First;
    case TabHit::Prev: return TabRecalc::Prev;
    case TabHit::Next: return TabRecalc::Next;
    default: return TabRecalc::Last;
    }
}

// The editor's rectangle in a tab's label area: centred on one line of
// text, two pixels in from the left.
RECT EditorPlace(RECT rect, int textHeight)
{
    const int height = rect.bottom - rect.top;
    if (height > textHeight) {
        rect.top += (height - textHeight) / 2;
        rect.bottom -= (rect.bottom - rect.top - textHeight) / 2;
    }
    rect.left += 2;
    return rect;
}

}  // namespace

LRESULT CCustomTabCtrl::Notify(UINT code, int index, int x, int y)
{
    TabNotify record;
    std::memset(static_cast<void*>(&record), 0, sizeof(record));  // padding too
    record.hdr.hwndFrom = m_hWnd;
    record.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    record.hdr.code = code;
    record.item = index;
    record.point = POINT{x, y};
    if (ValidIndex(index)) {
        const TabItem& item = *m_items[static_cast<std::size_t>(index)];
        const std::size_t n = std::min<std::size_t>(item.text.size(), kTabMaxTitle);
        std::copy_n(item.text.data(), n, record.text);
        record.data = item.data;
        record.textRect = item.textRect;
        record.selected = item.selected;
        record.highlighted = item.highlighted;
    }
    return ::SendMessageW(GetParentHwnd(), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

int CCustomTabCtrl::Press(int hit, UINT flags, int x, int y)
{
    SetCapture();
    if (hit == HitItem(TabHit::Nowhere))
        return hit;
    if (hit == HitItem(TabHit::Close)) {
        // The parent acts on the click notification; the control only
        // shows the button pressed.
        m_closeButton = TabButtonPressed;
        RecalcLayout(TabRecalc::Close, m_selected);
        InvalidateStrip();
        return hit;
    }
    if (hit < 0) {
        // One of the four scroll buttons: what is left below the tabs.
        const auto button = static_cast<TabHit>(hit);
        this->*ButtonMember(button) = TabButtonPressed;
        RecalcLayout(ScrollKind(button), m_selected);
        InvalidateStrip();
        m_repeatTick = GetTickCount();
        SetTimer(kTabRepeatTimer, kTabRepeatPoll);
        return hit;
    }
    // The parent may have taken tabs away while it heard of the click.
    if (!ValidIndex(hit))
        return HitItem(TabHit::Nowhere);
    const bool ctrl = (flags & MK_CONTROL) != 0;
    if (HasStyle(TabStyleMultiHighlight) && ctrl) {
        HighlightItem(hit, TRUE, TRUE);
    } else {
        const bool changed = hit != m_selected;
        SetCurSel(hit, TRUE, ctrl);
        if (changed)
            Notify(TabNotifySelChange, m_selected, x, y);
    }
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_items[static_cast<std::size_t>(i)]->highlightChanged)
            Notify(TabNotifyHighlightChange, i, x, y);
    return hit;
}

void CCustomTabCtrl::OnLButtonDown(UINT flags, int x, int y)
{
    const int hit = HitTest(x, y);
    Notify(NM_CLICK, hit, x, y);
    Press(hit, flags, x, y);
    Default();
}

void CCustomTabCtrl::OnLButtonUp()
{
    // Buttons act on the press; the release only lets them up.
    if (m_closeButton || m_prevButton || m_nextButton || m_firstButton || m_lastButton) {
        if (m_closeButton != TabButtonAbsent)
            m_closeButton = TabButtonShown;
        if (m_prevButton != TabButtonAbsent)
            m_prevButton = m_nextButton = TabButtonShown;
        if (m_firstButton != TabButtonAbsent)
            m_firstButton = m_lastButton = TabButtonShown;
        InvalidateStrip();
        KillTimer(kTabRepeatTimer);
    }
    ReleaseCapture();
}

void CCustomTabCtrl::OnLButtonDblClk(UINT flags, int x, int y)
{
    const int index = Press(HitTest(x, y), flags, x, y);
    if (index >= 0 && HitTest(x, y) == index)
        EditLabel(index, TRUE);
    Notify(NM_DBLCLK, HitTest(x, y), x, y);
    Default();
}

void CCustomTabCtrl::OnTimer(UINT_PTR id)
{
    Default();
    if (id != kTabRepeatTimer)
        return;
    for (TabHit hit : {TabHit::First, TabHit::Prev, TabHit::Next, TabHit::Last}) {
        if (this->*ButtonMember(hit) != TabButtonPressed)
            continue;
        const DWORD now = GetTickCount();
        if (now - m_repeatTick >= kTabRepeatDelay) {
            RecalcLayout(ScrollKind(hit), m_selected);
            InvalidateStrip();
            m_repeatTick = now;
        }
        return;
    }
}

bool CCustomTabCtrl::EditorExists() const
{
    return IsWindow(m_editor.GetSafeHwnd()) != FALSE;
}

CString CCustomTabCtrl::EditorText() const
{
    return m_editor.GetWindowText();
}

void CCustomTabCtrl::CloseEditor()
{
    if (EditorExists())
        m_editor.DestroyWindow();
}

void CCustomTabCtrl::OnEditorUpdate()
{
    if (!EditorExists() || !ValidIndex(m_selected))
        return;
    // The tab grows and shrinks with the text as it is typed.
    m_items[static_cast<std::size_t>(m_selected)]->text = EditorText();
    RecalcLayout(TabRecalc::Editor, m_selected);
    InvalidateStrip();
}

void CCustomTabCtrl::PlaceEditor(int offset, int index)
{
    if (!EditorExists() || !ValidIndex(index))
        return;
    const RECT strip = Geometry().StripRect();
    const int limit = strip.right - (HasStyle(TabStyleButtonsAfter) ? offset : 0);
    RECT rect{};
    for (;;) {
        const TabItem& item = *m_items[static_cast<std::size_t>(index)];
        // With an "X" after it, an empty title still has a line height.
        const int textHeight = TextHeight(item.text + u"X");
        rect = EditorPlace(item.textRect, textHeight);
        if (rect.right <= limit)
            break;
        if (m_selected > m_firstVisible) {
            ++m_firstVisible;
            RecalcRectangles();
            RecalcOffset(offset);
            continue;
        }
        rect.right = limit;
        break;
    }
    m_editor.MoveWindow(&rect, TRUE);

    // A caret at the very end: show the text from its beginning, with the
    // caret still at its end.
    DWORD start = 0;
    DWORD end = 0;
    m_editor.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto length = static_cast<DWORD>(m_items[static_cast<std::size_t>(index)]->text.size());
    if (start == end && end == length) {
        m_editor.SendMessage(EM_SETSEL, 0, 0);
        m_editor.SendMessage(EM_SCROLLCARET);
        m_editor.SendMessage(EM_SETSEL, length, length);
        m_editor.SendMessage(EM_SCROLLCARET);
    }
}

int CCustomTabCtrl::EditLabel(int index, BOOL byMouse)
{
    if (!ValidIndex(index))
        return TabErrIndex;
    if (!HasStyle(TabStyleEditLabels))
        return TabErrNoEditLabels;
    if (index != m_selected)
        return TabErrNotSelected;
    if (EditorExists())
        return TabErrEditing;
    if (HasStyle(TabStyleVertical))
        return TabErrVertical;

    const CString saved = m_items[static_cast<std::size_t>(index)]->text;
    const int textHeight = TextHeight(saved);
    const RECT rect = EditorPlace(m_items[static_cast<std::size_t>(index)]->textRect, textHeight);
    if (!m_editor.CreateEx(0, u"edit", u"", kEditorStyle, rect, this, kTabEditorId))
        return 0;

    m_editor.SetFont(m_boldFont, FALSE);
    m_editor.SendMessage(EM_LIMITTEXT, kTabEditorMaxTitle);
    m_editor.SetWindowText(saved);
    m_editor.SetFocus();
    m_editor.SendMessage(EM_SETSEL, 0, static_cast<LPARAM>(-1));
    m_editor.SendMessage(EM_SCROLLCARET);
    if (byMouse)
        ReleaseCapture();
    RunEditorLoop(index, saved);
    return 0;
}

void CCustomTabCtrl::RunEditorLoop(int index, const CString& saved)
{
    // Ends the edit: keeps the editor's text (or the saved title when
    // cancelled), lets the editor go and lays the strip out again.
    auto finish = [&](bool keep) {
        if (ValidIndex(index))
            m_items[static_cast<std::size_t>(index)]->text = keep ? EditorText() : saved;
        CloseEditor();
        RecalcLayout(TabRecalc::Plain, keep ? index : m_selected);
        InvalidateStrip();
    };
    // Ends the edit by a tap: the title is taken and the editor goes, but
    // the strip stays laid out as it is shown, so that the tap acts on what
    // is under the stylus.
    auto takeForTap = [&] {
        if (ValidIndex(m_selected))
            m_items[static_cast<std::size_t>(m_selected)]->text = EditorText();
        CloseEditor();
        InvalidateStrip();
    };
    auto parentRefuses = [&] { return Notify(TabNotifyLabelUpdate, index, 0, 0) != 0; };

    MSG msg;
    for (;;) {
        // Someone else may have destroyed the editor (or the whole control)
        // from a message dispatched below: there is nothing left to edit.
        if (!EditorExists())
            return;
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            // A quit request cancels the edit and stays for the loop
            // outside this one.
            finish(false);
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        switch (msg.message) {
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) {
                finish(false);
                return;
            }
            if (msg.wParam == VK_RETURN) {
                if (parentRefuses())
                    continue;
                finish(true);
                return;
            }
            break;
        case WM_SYSKEYDOWN:
            if (msg.wParam == VK_F4 && (msg.lParam & kAltF4Mask) != 0)
                continue;
            break;
        case WM_LBUTTONDOWN:
            if (msg.hwnd == m_hWnd) {
                // A tap on the tab being edited goes on editing; any other
                // tap on the strip ends the edit and then acts as a tap.
                if (HitTest(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)) == m_selected)
                    continue;
                if (parentRefuses())
                    continue;
                takeForTap();
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
                return;
            }
            if (msg.hwnd == m_editor.GetSafeHwnd())
                break;
            // A tap anywhere else ends the edit and is dropped.
            if (parentRefuses())
                continue;
            takeForTap();
            return;
        case WM_LBUTTONUP:
            if (msg.hwnd == m_editor.GetSafeHwnd())
                break;
            continue;
        case WM_LBUTTONDBLCLK: continue;
        default: break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
