// CDialog: a window built from a dialog template, run modally or created as
// a child page; with data exchange between controls and members.
#pragma once

#include "platform/core/Wnd.h"

#include <vector>

using INT_PTR = std::intptr_t;

// The direction and target of one data exchange.
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) { }
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
};

// Binds control id to the object (once) so its messages reach the object.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Moves a control's text to or from the member.
void DDX_Text(CDataExchange* dx, int id, CString& text);

class CDialog : public CWnd {
public:
    static const CRuntimeClass classCDialog;
    const CRuntimeClass* GetRuntimeClass() const override;

    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog until EndDialog; returns its result, or -1 when the
    // window cannot be created.
    virtual INT_PTR DoModal();
    // Creates the dialog as a modeless window (a child page when the
    // template says so).
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDHelp = 0;  // the template id

protected:
    CWnd* m_pParentWnd;

private:
    BOOL CreateFromTemplate(UINT templateId, HWND parent);
    bool m_modalRunning = false;
    bool m_modalDone = false;
    int m_modalResult = -1;
};

// The dialog base units of the dialog font, in pixels.
SIZE GetDialogBaseUnits(const WCHAR* face, int pointSize);
// Converts a rectangle from dialog units to pixels.
BOOL MapDialogRect(HWND dialog, RECT* rect);

namespace platform::core {
// Ends every running modal dialog as its caption's OK button would (used
// when the process is asked to stop), and any dialog started after it.
void RequestEndOfModalRuns();
}  // namespace platform::core
