// The page tests bring the process-wide objects the pages read.
#include "catalogue/ApList.h"
#include "platform/core/WinApp.h"
#include "platform/gdi/GdiInternal.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <QApplication>
#include <gtest/gtest.h>

CSettings g_settings;
CLanguage g_language;
CApList g_apList;

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::RegisterProgramFonts();
    platform::gdi::UseFixedPalette();
    return RUN_ALL_TESTS();
}
