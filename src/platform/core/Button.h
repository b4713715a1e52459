// CButton: the program's object for a "button" window. An owner-drawn
// button (BS_OWNERDRAW) asks its parent to paint it with WM_DRAWITEM; the
// parent hands the request back to the button object, which paints it in
// DrawItem.
#pragma once

#include "platform/core/Wnd.h"

class CButton : public CWnd {
public:
    static const CRuntimeClass classCButton;
    const CRuntimeClass* GetRuntimeClass() const override;

    // Paints an owner-drawn button. The base draws nothing.
    virtual void DrawItem(DRAWITEMSTRUCT* item);

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
