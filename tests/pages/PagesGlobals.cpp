// The process-wide objects the pages read.
#include "catalogue/ApList.h"
#include "settings/Language.h"
#include "settings/Settings.h"

CSettings g_settings;
CLanguage g_language;
CApList g_apList;
