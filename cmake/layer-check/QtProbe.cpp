// Built by the layer check with a program target's usage requirements: the
// same as ControlProbe.cpp plus a Qt header, which a program file must not
// be able to include.
#include "pages/ScannerDlg.h"
#include "platform/core/WinApp.h"

#include <QString>

int LayerCheckQt()
{
    return QString().isEmpty() ? 0 : 1;
}
