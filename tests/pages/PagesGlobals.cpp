// The process-wide objects the pages read, the catalogue hooked to the
// settings as the program's is.
#include "app/CatalogueHooks.h"
#include "catalogue/ApList.h"
#include "settings/Language.h"
#include "settings/Settings.h"

CSettings g_settings;
CLanguage g_language;
CApList g_apList(ProgramCatalogueHooks(g_settings));
