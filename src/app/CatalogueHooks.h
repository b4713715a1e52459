// How the program's catalogue meets the rest of the program: it hides what
// the settings say to hide, read afresh each time the catalogue asks, and
// chimes for each new network it shows while sound is on.
#pragma once

#include "catalogue/ApList.h"

class CSettings;

// The settings must outlive the catalogue given these hooks.
CApList::Hooks ProgramCatalogueHooks(const CSettings& settings);
