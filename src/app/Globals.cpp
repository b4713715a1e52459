// The process-wide objects, in the order they must be built: application,
// settings, language, catalogue. They are destroyed in the reverse order.
// The catalogue reads the settings defined before it here.
#include "app/Globals.h"

#include "app/CatalogueHooks.h"
#include "app/MainApp.h"
#include "catalogue/ApList.h"
#include "settings/Language.h"
#include "settings/Settings.h"

CMainApp theApp;
CSettings g_settings;
CLanguage g_language;
CApList g_apList(ProgramCatalogueHooks(g_settings));
