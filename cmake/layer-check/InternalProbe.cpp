// Built by the layer check with a program target's usage requirements: the
// same as ControlProbe.cpp plus one of the platform's own headers, which a
// program file must not be able to include.
#include "pages/ScannerDlg.h"
#include "platform/core/WinApp.h"

#include "platform/devices/Scenario.h"

int LayerCheckInternal()
{
    return sizeof(CScannerDlg) > 0 ? 0 : 1;
}
