// The options page: the adapter list, scan speed and list font size, the
// peer, secured-network and sound toggles, the about box and the language
// menu. Every change goes straight into the in-memory settings.
#pragma once

#include "controls/ColoredDlg.h"
#include "controls/CustomButton.h"
#include "controls/CustomSlider.h"
#include "platform/core/ComboBox.h"

class CScannerDlg;

class COptionsDlg : public CColoredDlg {
    DECLARE_DYNAMIC(COptionsDlg)

public:
    explicit COptionsDlg(CWnd* parent = nullptr);
    ~COptionsDlg() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    static constexpr int kLanguageCount = 7;

    // The web page named in the about box.
    static constexpr const WCHAR* kWebAddress = u"https://tarvolin.org";

protected:
    void OnHScroll(WPARAM wParam, HWND slider);
    void OnToggleHidePeers();
    void OnToggleHideSecured();
    void OnToggleSound();
    void OnPaint();
    void OnAbout();
    void OnLanguageButton();
    void OnLanguageCommand(UINT command);

    // The name of scan speed `position` into m_speedText; other positions
    // leave it as it is.
    void SetSpeedText(UINT position);
    // The chosen list font size, drawn in its own size beside its slider.
    void DrawFontSize();
    // The scanner page of the window holding this page, if any.
    CScannerDlg* ScannerPage() const;
    void ShrinkSlider(CCustomSlider& slider);

    // The set-up steps of OnInitDialog, in the order it takes them.
    void SetUpAdapterList();
    void SetUpSliders();
    void SetUpToggles();
    void SetUpAboutAndLanguage();
    // A slider in the page's tint with the program's track and thumb images.
    void DressSlider(CCustomSlider& slider);

    HFONT m_pageFont = nullptr;
    HBITMAP m_flagBitmaps[kLanguageCount] = {};
    CComboBox m_adapterList;
    CCustomSlider m_speedSlider;
    CCustomButton m_hidePeersButton;
    CCustomButton m_hideSecuredButton;
    CCustomButton m_soundButton;
    CString m_speedText;
    CCustomSlider m_fontSizeSlider;
    CCustomButton m_aboutButton;
    CCustomButton m_languageButton;
    CString m_adapterLabel;
    CString m_speedLabel;
    CString m_fontSizeLabel;
    // The flag handed to m_languageButton, which then owns it.
    HBITMAP m_shownFlag = nullptr;
};
