#include "app/MainDlg.h"

namespace {

constexpr int kExitButton = 1000;

}  // namespace

CMainDlg::CMainDlg(CWnd* parent) : CDialog(102, parent) {}

BOOL CMainDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    return TRUE;
}

void CMainDlg::OnExit()
{
    EndDialog(1);
}

LRESULT CMainDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kExitButton) {
        OnExit();
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
