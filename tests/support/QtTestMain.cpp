// The main of every test that needs windows: a headless application (unless
// a display is asked for), the program's fonts and a fixed palette.
#include "platform/Testing.h"
#include "platform/core/WinApp.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs this too, without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    platform::RegisterProgramFonts();
    platform::gdi::UseFixedPalette();
    return RUN_ALL_TESTS();
}
