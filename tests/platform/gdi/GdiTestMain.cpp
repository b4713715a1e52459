// Runs the drawing tests headless with the bundled Tahoma face when it is
// installed and a fixed palette, so pixels do not depend on the desktop.
#include "platform/Testing.h"
#include "platform/gdi/GdiInternal.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Headless unless a display is asked for (test discovery runs this too).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        QFontDatabase::addApplicationFont(QString::fromUtf8(file));
    }
    platform::gdi::UseFixedPalette();
    return RUN_ALL_TESTS();
}
