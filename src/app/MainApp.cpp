#include "app/MainApp.h"

#include "app/Globals.h"
#include "app/MainDlg.h"
#include "settings/Language.h"
#include "settings/Settings.h"

CMainApp::CMainApp() : CWinApp(nullptr)
{
}

BOOL CMainApp::InitInstance()
{
    SHInitExtraControls();
    SetRegistryKey(u"Tarvolin");

    g_settings.Load();

    // An out-of-range language shows English; the stored value is kept and
    // written back as it was.
    LONG language = 0;
    g_settings.GetValue(SettingLanguage, language);
    if (language < 0 || language > 6)
        language = 0;
    g_language.SelectLanguage(language);

    {
        CMainDlg dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
        g_settings.Save();
        m_pMainWnd = nullptr;
    }
    return TRUE;
}
