#include "platform/core/Dialog.h"

#include "platform/Resources.h"
#include "platform/core/WinApp.h"
#include "platform/core/WindowObject.h"
#include "platform/gdi/Gdi.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <map>

namespace {

// What each dialog window keeps besides its window: its font and the base
// units that font gives.
struct DialogData {
    HFONT font = nullptr;
    SIZE baseUnits{};
};

std::map<HWND, DialogData>& Dialogs()
{
    static std::map<HWND, DialogData> dialogs;
    return dialogs;
}

std::vector<CDialog*>& RunningModals()
{
    static std::vector<CDialog*> running;
    return running;
}

bool g_endRequested = false;

std::function<void()>& MainWindowWork()
{
    static std::function<void()> work;
    return work;
}

constexpr DWORD kDefaultCharset = 1;

// "MS Shell Dlg" is the handheld's alias of its dialog face.
std::u16string DialogFace(const WCHAR* face)
{
    if (face == nullptr || std::u16string(face) == u"MS Shell Dlg" || std::u16string(face) == u"MS Shell Dlg 2")
        return u"Tahoma";
    return face;
}

// The handheld's screen has 96 dots per inch.
int PointsToPixels(int points)
{
    return (points * 96 + 36) / 72;
}

HFONT CreateDialogFont(const WCHAR* face, int pointSize)
{
    const std::u16string name = DialogFace(face);
    return CreateFontW(-PointsToPixels(pointSize), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, kDefaultCharset, 0, 0, 0, 0,
                       name.c_str());
}

SIZE BaseUnitsOf(HFONT font)
{
    SIZE units{4, 8};
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr)
        return units;
    HGDIOBJ old = SelectObject(dc, font);
    // Windows averages the 52 letters and takes the font's cell height.
    const std::u16string letters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    TEXTMETRICW metrics{};
    if (GetTextExtentPoint32W(dc, letters.c_str(), static_cast<int>(letters.size()), &extent) &&
        GetTextMetricsW(dc, &metrics)) {
        units.cx = (extent.cx / 26 + 1) / 2;
        units.cy = metrics.tmHeight;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return units;
}

int MulDiv(int value, int numerator, int denominator)
{
    return static_cast<int>((static_cast<long long>(value) * numerator + denominator / 2) / denominator);
}

RECT ToPixels(SIZE units, int x, int y, int cx, int cy)
{
    const int left = MulDiv(x, units.cx, 4);
    const int top = MulDiv(y, units.cy, 8);
    return RECT{left, top, left + MulDiv(cx, units.cx, 4), top + MulDiv(cy, units.cy, 8)};
}

}  // namespace

namespace platform::core {

LRESULT DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        auto dc = reinterpret_cast<HDC>(wParam);
        auto brush =
            reinterpret_cast<HBRUSH>(SendMessageW(window, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(window)));
        if (brush == nullptr)
            brush = GetSysColorBrush(COLOR_BTNFACE);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, brush);
        return 1;
    }
    case WM_CLOSE: SendMessageW(window, WM_COMMAND, IDCANCEL, 0); return 0;
    case WM_DESTROY: {
        auto& dialogs = Dialogs();
        auto it = dialogs.find(window);
        if (it != dialogs.end()) {
            DeleteObject(it->second.font);
            dialogs.erase(it);
        }
        return 0;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RequestEndOfModalRuns()
{
    g_endRequested = true;
    for (CDialog* dialog : RunningModals())
        dialog->PostMessage(WM_COMMAND, IDOK, 0);
}

}  // namespace platform::core

namespace platform {

void RunWhenMainWindowRuns(std::function<void()> work)
{
    MainWindowWork() = std::move(work);
}

}  // namespace platform

SIZE GetDialogBaseUnits(const WCHAR* face, int pointSize)
{
    HFONT font = CreateDialogFont(face, pointSize);
    const SIZE units = BaseUnitsOf(font);
    DeleteObject(font);
    return units;
}

BOOL MapDialogRect(HWND dialog, RECT* rect)
{
    auto& dialogs = Dialogs();
    auto it = dialogs.find(dialog);
    if (it == dialogs.end() || rect == nullptr)
        return FALSE;
    *rect = ToPixels(it->second.baseUnits, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    return TRUE;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.m_hWnd == nullptr)
        control.SubclassWindow(GetDlgItem(dx->m_pDlgWnd->m_hWnd, id));
}

void DDX_Text(CDataExchange* dx, int id, CString& text)
{
    HWND item = GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (item == nullptr)
        return;
    if (dx->m_bSaveAndValidate) {
        const int length = GetWindowTextLengthW(item);
        CString value(static_cast<std::size_t>(length) + 1, u'\0');
        value.resize(static_cast<std::size_t>(GetWindowTextW(item, value.data(), length + 1)));
        text = value;
    } else {
        SetWindowTextW(item, text.c_str());
    }
}

const CRuntimeClass CDialog::classCDialog = {"CDialog", &CWnd::classCWnd};

const CRuntimeClass* CDialog::GetRuntimeClass() const
{
    return &classCDialog;
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDHelp(templateId), m_pParentWnd(parent)
{
}

CDialog::~CDialog() = default;

BOOL CDialog::CreateFromTemplate(UINT templateId, HWND parent)
{
    const DialogTemplate* dialog = FindDialogResource(templateId);
    if (dialog == nullptr || m_hWnd != nullptr)
        return FALSE;
    HFONT font = CreateDialogFont(dialog->fontFace, dialog->pointSize);
    const SIZE units = BaseUnitsOf(font);
    const RECT frame = ToPixels(units, dialog->x, dialog->y, dialog->cx, dialog->cy);
    // The window stays hidden until it is initialised.
    const DWORD style = dialog->style & ~WS_VISIBLE;
    HWND window = CreateWindowExW(0, u"#32770", dialog->caption, style, frame.left, frame.top, frame.right - frame.left,
                                  frame.bottom - frame.top, parent, 0, AfxGetInstanceHandle(), nullptr);
    if (window == nullptr) {
        DeleteObject(font);
        return FALSE;
    }
    Dialogs()[window] = DialogData{font, units};
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (std::size_t i = 0; i < dialog->itemCount; ++i) {
        const DialogItemTemplate& item = dialog->items[i];
        const RECT r = ToPixels(units, item.x, item.y, item.cx, item.cy);
        const std::u16string className(item.windowClass,
                                       item.windowClass + std::char_traits<char>::length(item.windowClass));
        HWND control =
            CreateWindowExW(item.exStyle, className.c_str(), item.text, item.style | WS_CHILD, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, window, item.id, AfxGetInstanceHandle(), nullptr);
        if (control == nullptr) {
            // As on Windows, a dialog whose control cannot be made is not made.
            ::DestroyWindow(window);
            return FALSE;
        }
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    SubclassWindow(window);
    SendMessage(WM_INITDIALOG, 0, 0);
    if (dialog->style & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    m_modalDone = false;
    m_modalResult = -1;
    HWND parent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (!CreateFromTemplate(m_nIDHelp, parent))
        return -1;
    auto& running = RunningModals();
    running.push_back(this);
    if (g_endRequested)
        PostMessage(WM_COMMAND, IDOK, 0);
    if (!m_modalDone && m_hWnd != nullptr) {
        ShowWindow(SW_SHOW);
        if (auto work = std::move(MainWindowWork()); work) {
            MainWindowWork() = nullptr;
            QTimer::singleShot(0, std::move(work));
        }
        QEventLoop loop;
        m_modalRunning = true;
        while (!m_modalDone && m_hWnd != nullptr)
            loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
        m_modalRunning = false;
    }
    running.erase(std::remove(running.begin(), running.end(), this), running.end());
    if (m_hWnd != nullptr) {
        ShowWindow(SW_HIDE);
        DestroyWindow();
    }
    return m_modalResult;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    m_nIDHelp = templateId;
    if (parent != nullptr)
        m_pParentWnd = parent;
    return CreateFromTemplate(templateId, m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr);
}

void CDialog::EndDialog(int result)
{
    m_modalResult = result;
    m_modalDone = true;
    if (!m_modalRunning)
        ShowWindow(SW_HIDE);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    // A top-level dialog fills the handheld's work area, as the shell's
    // full-screen dialogs do.
    if (GetParentHwnd() == nullptr) {
        RECT work{};
        if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
            MoveWindow(&work, FALSE);
    }
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return 0;
            }
        }
        break;
    default: break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
