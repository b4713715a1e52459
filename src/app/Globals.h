// The objects that live for the whole process. They are defined together, in
// this order, in Globals.cpp: application, settings, language, catalogue.
#pragma once

class CMainApp;
class CSettings;
class CLanguage;
class CApList;

extern CMainApp theApp;
extern CSettings g_settings;
extern CLanguage g_language;
extern CApList g_apList;
