#include "platform/core/Dialog.h"
#include "platform/gdi/Gdi.h"
#include "res/Resource.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Closes every visible top-level window from the event loop, as a click on
// the caption's close button does.
void CloseTopLevelWindowsSoon()
{
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                w->close();
    });
}

// The main window's template holds the program's tab control; a plain
// window of that class stands in for it here.
void RegisterTabClassStandIn()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = u"CCustomTabCtrl";
    RegisterClassW(&wc);
}

class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(IDD_MAIN) { RegisterTabClassStandIn(); }
    BOOL OnInitDialog() override
    {
        ++initCalls;
        CDialog::OnInitDialog();
        GetClientRect(&client);
        ::GetWindowRect(GetDlgItemHwnd(IDC_EXIT), &exitButton);
        RECT dialogOnScreen;
        GetWindowRect(&dialogOnScreen);
        exitButton.left -= dialogOnScreen.left;
        exitButton.top -= dialogOnScreen.top;
        exitButton.right -= dialogOnScreen.left;
        exitButton.bottom -= dialogOnScreen.top;
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, IDC_SUSPEND, suspend);
        DDX_Text(dx, IDC_EXIT, exitText);
    }
    int initCalls = 0;
    RECT client{};
    RECT exitButton{};
    CWnd suspend;
    CString exitText = u"Leave";
};

TEST(Dialog, ModalRunEndsWithOkWhenTheCaptionButtonIsUsed)
{
    ProbeDialog dialog;
    CloseTopLevelWindowsSoon();
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);  // the window is gone after the run
}

TEST(Dialog, TopLevelDialogFillsTheWorkAreaAndPlacesControlsInDialogUnits)
{
    ProbeDialog dialog;
    CloseTopLevelWindowsSoon();
    dialog.DoModal();
    EXPECT_EQ(dialog.client.right, 240);
    EXPECT_EQ(dialog.client.bottom, 268);
    // Exit button: x 7, y 125, 50 x 14 dialog units.
    const SIZE units = GetDialogBaseUnits(u"MS Shell Dlg", 8);
    EXPECT_EQ(dialog.exitButton.left, (7 * units.cx + 2) / 4);
    EXPECT_EQ(dialog.exitButton.top, (125 * units.cy + 4) / 8);
    EXPECT_EQ(dialog.exitButton.right - dialog.exitButton.left, (50 * units.cx + 2) / 4);
    EXPECT_EQ(dialog.exitButton.bottom - dialog.exitButton.top, (14 * units.cy + 4) / 8);
}

TEST(Dialog, DialogFontGivesPlausibleBaseUnits)
{
    // Tahoma 8 point on a 96 dpi screen: about 5 x 13 pixels.
    const SIZE units = GetDialogBaseUnits(u"MS Shell Dlg", 8);
    EXPECT_GE(units.cx, 4);
    EXPECT_LE(units.cx, 7);
    EXPECT_GE(units.cy, 11);
    EXPECT_LE(units.cy, 16);
}

TEST(Dialog, DataExchangePushesTextsAndBindsControls)
{
    ProbeDialog dialog;
    CloseTopLevelWindowsSoon();
    // Check inside the run: the window exists only then.
    CString seen;
    HWND bound = nullptr;
    QTimer::singleShot(0, [&] {
        WCHAR text[16] = {};
        ::GetWindowTextW(dialog.GetDlgItemHwnd(IDC_EXIT), text, 16);
        seen = text;
        bound = dialog.suspend.m_hWnd;
    });
    dialog.DoModal();
    EXPECT_EQ(seen, u"Leave");
    EXPECT_NE(bound, nullptr);
}

TEST(Dialog, MissingTemplateFailsTheRun)
{
    CDialog dialog(9999);
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST(Dialog, EndRequestedBeforeTheRunEndsItAtOnce)
{
    platform::core::RequestEndOfModalRuns();
    ProbeDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.initCalls, 1);
}

}  // namespace
