// Built by the layer check with a program target's usage requirements: a
// program file that includes what program files include builds.
#include "pages/ScannerDlg.h"
#include "platform/core/WinApp.h"

int LayerCheckControl()
{
    return sizeof(CScannerDlg) > 0 ? 0 : 1;
}
