#include "platform/core/Button.h"

const CRuntimeClass CButton::classCButton = {"CButton", &CWnd::classCWnd};

const CRuntimeClass* CButton::GetRuntimeClass() const
{
    return &classCButton;
}

void CButton::DrawItem(DRAWITEMSTRUCT*)
{
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, result);
    DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    if (result != nullptr)
        *result = TRUE;
    return TRUE;
}
