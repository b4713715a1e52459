// The options tests need an application object, the program's fonts and
// fixed colours.
#include "platform/core/WinApp.h"
#include "platform/gdi/GdiInternal.h"

#include <QApplication>
#include <gtest/gtest.h>

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
