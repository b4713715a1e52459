#include "pages/OptionsDlg.h"

#include "app/Globals.h"
#include "pages/PageOwner.h"
#include "pages/ScannerDlg.h"
#include "platform/core/Menu.h"
#include "platform/core/MessageBox.h"
#include "platform/gdi/Gdi.h"
#include "platform/images/Images.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <string>

#ifndef TARVOLIN_VERSION
#error "TARVOLIN_VERSION must give the program's version"
#endif

namespace {

// The sliders are resized to their images.
constexpr int kSliderWidth = 80;
constexpr int kSliderHeight = 30;

// The square beside the font size slider where the chosen size shows.
constexpr RECT kFontSizeSquare{175, 67, 200, 92};

constexpr const WCHAR* kCaption = u"Tarvolin";

// One language: its menu command, the word the confirmation uses, its
// number in the Language setting and the flag image it shows.
struct LanguageChoice {
    UINT command;
    const WCHAR* word;
    LONG number;
    UINT flagBitmap;
};

// In the order of m_flagBitmaps.
constexpr LanguageChoice kLanguages[COptionsDlg::kLanguageCount] = {
    {ID_LANGUAGE_ENGLISH, u"english", 0, IDB_FLAG_ENGLISH},
    {ID_LANGUAGE_FRENCH, u"french", 3, IDB_FLAG_FRENCH},
    {ID_LANGUAGE_HUNGARIAN, u"hungarian", 1, IDB_FLAG_HUNGARIAN},
    {ID_LANGUAGE_POLISH, u"polish", 2, IDB_FLAG_POLISH},
    {ID_LANGUAGE_PORTUGUESE, u"portuguese", 4, IDB_FLAG_PORTUGUESE},
    {ID_LANGUAGE_RUSSIAN, u"russian", 5, IDB_FLAG_RUSSIAN},
    {ID_LANGUAGE_GERMAN, u"german", 6, IDB_FLAG_GERMAN},
};

// The entry for a Language setting; English for any unknown number.
int LanguageSlot(LONG number)
{
    for (int slot = 0; slot < COptionsDlg::kLanguageCount; ++slot)
        if (kLanguages[slot].number == number)
            return slot;
    return 0;
}

// The one place the page loads its images from the module.
HBITMAP ProgramBitmap(UINT id)
{
    return LoadBitmapW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(id));
}

LONG Setting(int index)
{
    LONG value = 0;
    g_settings.GetValue(index, value);
    return value;
}

}  // namespace

IMPLEMENT_DYNAMIC(COptionsDlg, CColoredDlg)

COptionsDlg::COptionsDlg(CWnd* parent) : CColoredDlg(IDD_OPTIONS_PAGE, parent)
{
}

COptionsDlg::~COptionsDlg()
{
    for (HBITMAP flag : m_flagBitmaps)
        if (flag != nullptr && flag != m_shownFlag)
            DeleteObject(flag);
    // The buttons keep the handle but draw nothing more once the page goes.
    if (m_pageFont != nullptr)
        DeleteObject(m_pageFont);
}

void COptionsDlg::DoDataExchange(CDataExchange* dx)
{
    CColoredDlg::DoDataExchange(dx);
    DDX_Control(dx, IDC_ADAPTER_LIST, m_adapterList);
    DDX_Control(dx, IDC_SPEED_SLIDER, m_speedSlider);
    DDX_Control(dx, IDC_HIDE_PEERS, m_hidePeersButton);
    DDX_Control(dx, IDC_HIDE_SECURED, m_hideSecuredButton);
    DDX_Control(dx, IDC_SOUND, m_soundButton);
    DDX_Text(dx, IDC_SPEED_TEXT, m_speedText);
    DDX_Control(dx, IDC_FONT_SIZE_SLIDER, m_fontSizeSlider);
    DDX_Control(dx, IDC_ABOUT, m_aboutButton);
    DDX_Control(dx, IDC_LANGUAGE, m_languageButton);
    DDX_Text(dx, IDC_ADAPTER_LABEL, m_adapterLabel);
    DDX_Text(dx, IDC_SPEED_LABEL, m_speedLabel);
    DDX_Text(dx, IDC_FONT_SIZE_LABEL, m_fontSizeLabel);
}

void COptionsDlg::ShrinkSlider(CCustomSlider& slider)
{
    RECT rect;
    slider.GetWindowRect(&rect);
    POINT topLeft{rect.left, rect.top};
    ScreenToClient(&topLeft);
    slider.MoveWindow(topLeft.x, topLeft.y, kSliderWidth, kSliderHeight, TRUE);
}

BOOL COptionsDlg::OnInitDialog()
{
    CColoredDlg::OnInitDialog();

    m_pageFont = CreateFontW(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, u"Tahoma");
    m_adapterLabel = g_language.GetText(IDS_USE_ADAPTER) + u":";
    m_speedLabel = g_language.GetText(IDS_SCAN_SPEED) + u":";
    m_fontSizeLabel = g_language.GetText(IDS_LIST_FONT_SIZE) + u":";

    SetUpAdapterList();
    SetUpSliders();
    SetUpToggles();
    SetUpAboutAndLanguage();
    UpdateData(FALSE);
    return TRUE;
}

void COptionsDlg::SetUpAdapterList()
{
    // The dropped list shows several adapters: the window is six entries
    // high, the box itself one of them.
    HWND adapters = GetDlgItemHwnd(IDC_ADAPTER_LIST);
    if (adapters == nullptr)
        return;
    const int itemHeight = static_cast<int>(::SendMessageW(adapters, CB_GETITEMHEIGHT, 0, 0));
    RECT rect;
    ::GetWindowRect(adapters, &rect);
    POINT topLeft{rect.left, rect.top};
    ScreenToClient(&topLeft);
    ::MoveWindow(adapters, topLeft.x, topLeft.y, rect.right - rect.left, 6 * itemHeight, TRUE);
}

void COptionsDlg::SetUpSliders()
{
    // Scan speed: 1, the fastest, at the right end. A stored value outside
    // 1 to 5 shows as 2 and stays stored until the slider moves.
    ShrinkSlider(m_speedSlider);
    m_speedSlider.SetRange(1, 5);
    m_speedSlider.SetReversed(TRUE);
    auto speed = static_cast<DWORD>(Setting(SettingScanSpeed));
    if (speed == 0 || speed > 5)
        speed = 2;
    m_speedSlider.SetPos(speed);
    SetSpeedText(speed);
    DressSlider(m_speedSlider);

    // List font size: a stored value above 20 (or negative) shows as 12; the
    // slider itself lifts one below 10 to 10.
    ShrinkSlider(m_fontSizeSlider);
    m_fontSizeSlider.SetRange(10, 20);
    auto fontSize = static_cast<DWORD>(Setting(SettingFontSize));
    if (fontSize > 20)
        fontSize = 12;
    m_fontSizeSlider.SetPos(fontSize);
    DressSlider(m_fontSizeSlider);
}

void COptionsDlg::DressSlider(CCustomSlider& slider)
{
    slider.SetBackColor(CaptionTint());
    slider.SetBitmaps(ProgramBitmap(IDB_SLIDER_TRACK), ProgramBitmap(IDB_SLIDER_THUMB),
                      ProgramBitmap(IDB_SLIDER_THUMB_PRESSED));
}

void COptionsDlg::SetUpToggles()
{
    // A checked toggle hides peers or secured networks, or silences the
    // sound; its caption names the state it is in.
    struct Toggle {
        CCustomButton& button;
        int normalText;
        int checkedText;
        UINT normalImage;
        UINT checkedImage;
        int setting;
    };
    const Toggle toggles[] = {
        {m_hidePeersButton, IDS_SHOW_PEERS, IDS_HIDE_PEERS, IDB_LAPTOP, IDB_LAPTOP_CROSSED, SettingHidePeer},
        {m_hideSecuredButton, IDS_SHOW_SECURED, IDS_HIDE_SECURED, IDB_PADLOCK, IDB_PADLOCK_CROSSED, SettingHideWEP},
        {m_soundButton, IDS_SOUND_ON, IDS_SOUND_OFF, IDB_SPEAKER, IDB_SPEAKER_CROSSED, SettingSoundOff},
    };
    const COLORREF tint = CaptionTint();
    for (const Toggle& toggle : toggles) {
        toggle.button.SetTexts(g_language.GetText(toggle.normalText), g_language.GetText(toggle.checkedText));
        toggle.button.SetBackColor(tint);
        toggle.button.SetCheckedBackColor(tint);
        toggle.button.SetBitmaps(ProgramBitmap(toggle.normalImage), ProgramBitmap(toggle.checkedImage));
        toggle.button.SetButtonFont(m_pageFont);
        toggle.button.SendMessage(BM_SETCHECK, Setting(toggle.setting) != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
}

void COptionsDlg::SetUpAboutAndLanguage()
{
    const COLORREF tint = CaptionTint();
    m_aboutButton.SetBackColor(tint);
    m_aboutButton.SetCheckedBackColor(tint);
    m_aboutButton.SetBitmaps(ProgramBitmap(IDB_INFORMATION), nullptr);

    // The button shows the flag of the language in use.
    m_languageButton.SetBackColor(tint);
    m_languageButton.SetCheckedBackColor(tint);
    for (int slot = 0; slot < kLanguageCount; ++slot)
        m_flagBitmaps[slot] = ProgramBitmap(kLanguages[slot].flagBitmap);
    m_shownFlag = m_flagBitmaps[LanguageSlot(Setting(SettingLanguage))];
    m_languageButton.SetBitmaps(m_shownFlag, nullptr);
}

void COptionsDlg::SetSpeedText(UINT position)
{
    // 1 is "Fastest" down to 5, "Slowest".
    static_assert(IDS_SPEED_FASTEST - 4 == IDS_SPEED_SLOWEST);
    if (position >= 1 && position <= 5)
        m_speedText = g_language.GetText(IDS_SPEED_FASTEST - (static_cast<int>(position) - 1));
}

CScannerDlg* COptionsDlg::ScannerPage() const
{
    auto* owner = dynamic_cast<CPageOwner*>(GetParent());
    return owner != nullptr ? owner->GetScannerPage() : nullptr;
}

void COptionsDlg::DrawFontSize()
{
    HDC dc = GetDC();
    if (dc == nullptr)
        return;
    const auto size = static_cast<int>(m_fontSizeSlider.GetPos());
    HFONT font = CreateFontW(size, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, u"Tahoma");
    HGDIOBJ oldFont = SelectObject(dc, font);
    const std::string digits = std::to_string(size);
    const std::u16string number(digits.begin(), digits.end());
    // The page's own colours, as its static texts get them.
    SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), static_cast<LPARAM>(-1));
    RECT square = kFontSizeSquare;
    HBRUSH back = CreateSolidBrush(GetBkColor(dc));
    FillRect(dc, &square, back);
    DeleteObject(back);
    DrawTextW(dc, number.c_str(), static_cast<int>(number.size()), &square, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    ReleaseDC(dc);
    DeleteObject(font);
}

void COptionsDlg::OnPaint()
{
    CColoredDlg::WindowProc(WM_PAINT, 0, 0);
    DrawFontSize();
}

void COptionsDlg::OnHScroll(WPARAM wParam, HWND slider)
{
    // Tracking and final notifications alike carry the position.
    const UINT position = HIWORD(wParam);
    if (slider == nullptr)
        return;
    if (slider == m_speedSlider.m_hWnd) {
        SetSpeedText(position);
        UpdateData(FALSE);
        g_settings.SetValue(SettingScanSpeed, static_cast<LONG>(position));
    } else if (slider == m_fontSizeSlider.m_hWnd) {
        DrawFontSize();
        g_settings.SetValue(SettingFontSize, static_cast<LONG>(position));
        if (CScannerDlg* scanner = ScannerPage())
            scanner->SetFontSize(static_cast<LONG>(position));
    }
}

void COptionsDlg::OnToggleHidePeers()
{
    g_settings.SetValue(SettingHidePeer, m_hidePeersButton.SendMessage(BM_GETCHECK) == BST_CHECKED ? 1 : 0);
    if (CScannerDlg* scanner = ScannerPage())
        scanner->Restore();
}

void COptionsDlg::OnToggleHideSecured()
{
    g_settings.SetValue(SettingHideWEP, m_hideSecuredButton.SendMessage(BM_GETCHECK) == BST_CHECKED ? 1 : 0);
    if (CScannerDlg* scanner = ScannerPage())
        scanner->Restore();
}

void COptionsDlg::OnToggleSound()
{
    g_settings.SetValue(SettingSoundOff, m_soundButton.SendMessage(BM_GETCHECK) == BST_CHECKED ? 1 : 0);
}

void COptionsDlg::OnAbout()
{
    const std::u16string text = std::u16string(u"Tarvolin " TARVOLIN_VERSION "\nFree WiFi scanner\n") + kWebAddress;
    MessageBoxW(m_hWnd, text.c_str(), kCaption, MB_OK | MB_ICONINFORMATION);
}

void COptionsDlg::OnLanguageButton()
{
    RECT button;
    m_languageButton.GetWindowRect(&button);
    CMenu menu;
    if (!menu.LoadMenu(IDM_LANGUAGES))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (popup != nullptr) {
        // Only the other six languages are offered.
        popup->DeleteMenu(kLanguages[LanguageSlot(Setting(SettingLanguage))].command, MF_BYCOMMAND);
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_BOTTOMALIGN, button.left, button.top, m_hWnd);
    }
    menu.DestroyMenu();
}

void COptionsDlg::OnLanguageCommand(UINT command)
{
    for (const LanguageChoice& language : kLanguages) {
        if (language.command != command)
            continue;
        const std::u16string question =
            std::u16string(u"Are you sure you want to change program language to ") + language.word + u"?";
        if (MessageBoxW(m_hWnd, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        // The new language shows from the next start; this page keeps its
        // texts and flag.
        g_settings.SetValue(SettingLanguage, language.number);
        MessageBoxW(m_hWnd, u"Program language changed. Restart the application for the change to take effect.",
                    kCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
}

LRESULT COptionsDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HSCROLL: OnHScroll(wParam, reinterpret_cast<HWND>(lParam)); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        // The main window keeps the adapter choice: its list's selection
        // change goes on to it as it came.
        if (id == IDC_ADAPTER_LIST && code == CBN_SELCHANGE) {
            if (HWND parent = GetParentHwnd())
                return ::SendMessageW(parent, message, wParam, lParam);
            return 0;
        }
        if (code == BN_CLICKED) {
            switch (id) {
            case IDC_HIDE_PEERS: OnToggleHidePeers(); return 0;
            case IDC_HIDE_SECURED: OnToggleHideSecured(); return 0;
            case IDC_SOUND: OnToggleSound(); return 0;
            case IDC_ABOUT: OnAbout(); return 0;
            case IDC_LANGUAGE: OnLanguageButton(); return 0;
            default:
                // Menu commands come with code 0 and no control.
                if (lParam == 0 && id >= ID_LANGUAGE_FIRST && id <= ID_LANGUAGE_LAST) {
                    OnLanguageCommand(static_cast<UINT>(id));
                    return 0;
                }
                break;
            }
        }
        break;
    }
    default: break;
    }
    return CColoredDlg::WindowProc(message, wParam, lParam);
}
