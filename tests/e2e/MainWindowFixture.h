// The main window opened in process with held timers and known settings:
// the tests send the timer messages themselves.
#pragma once

#include "app/MainDlg.h"
#include "platform/Testing.h"
#include "platform/core/MessageBox.h"
#include "platform/devices/SimulatedProvider.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The main window with its parts in reach of the tests.
class ProbeMainDlg : public CMainDlg {
public:
    using CMainDlg::m_activityIcon;
    using CMainDlg::m_blinkCount;
    using CMainDlg::m_dialogFont;
    using CMainDlg::m_exitButton;
    using CMainDlg::m_scanning;
    using CMainDlg::m_suspendButton;
    using CMainDlg::m_tabs;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::core::HoldTimers(true);
        g_settings.SetValue(SettingScanSpeed, 2);
        g_settings.SetValue(SettingFontSize, 12);
        g_settings.SetValue(SettingSoundOff, 1);
        g_settings.SetString(SettingAdapter, u"stored0");
        g_language.SelectLanguage(0);
        // Message boxes are answered at once and remembered, with the scan
        // timer's period at the moment the box came up.
        platform::core::SetMessageBoxAnswerer([this](const std::u16string& text, UINT) {
            m_boxes.push_back(Box{text, m_dialog ? Period(CMainDlg::kScanTimer) : 0});
            return IDOK;
        });
    }
    void TearDown() override
    {
        platform::core::SetMessageBoxAnswerer({});
        Close();
        platform::SetWirelessProvider(nullptr);
        platform::core::SetScreenSize(0, 0);
    }
    void Open()
    {
        m_dialog = std::make_unique<ProbeMainDlg>();
        ASSERT_TRUE(m_dialog->Create(IDD_MAIN, nullptr));
        m_dialog->ShowWindow(SW_SHOW);
    }
    void Close()
    {
        if (m_dialog)
            m_dialog->DestroyWindow();
        m_dialog.reset();
    }
    void ScanTick() { m_dialog->SendMessage(WM_TIMER, CMainDlg::kScanTimer, 0); }
    void BlinkTick() { m_dialog->SendMessage(WM_TIMER, CMainDlg::kBlinkTimer, 0); }
    UINT Period(UINT_PTR id) const { return platform::core::TimerPeriod(m_dialog->m_hWnd, id); }
    // Where a tap lands on tab `index` of the strip, in the tab control's
    // client coordinates; x is negative when the strip does not show it.
    POINT TabPoint(int index) const
    {
        CCustomTabContainer& tabs = m_dialog->m_tabs;
        RECT strip{};
        tabs.GetClientRect(&strip);
        const int y = 8;
        for (int x = 0; x < strip.right; ++x) {
            if (tabs.HitTest(x, y) == index)
                return POINT{x + 2, y};
        }
        return POINT{-1, y};
    }

    struct Box {
        std::u16string text;
        UINT scanPeriod;  // the scan timer's period while the box was up; 0 when stopped
    };

    std::unique_ptr<ProbeMainDlg> m_dialog;
    std::vector<Box> m_boxes;
};
