// What the window programs load before their first frame: Qt Multimedia and
// the sound server and codec libraries behind it (a third of all libraries)
// wait for the first chime, in the module the sound player loads then.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#ifndef TARVOLIN_PROGRAM
#error "TARVOLIN_PROGRAM, TARVOLIN_DEMO and TARVOLIN_SOUND_MODULE must name the files"
#endif

namespace {

// The shared libraries the dynamic loader maps for the file, as ldd lists them.
std::string Libraries(const std::string& file)
{
    std::string text;
    if (FILE* pipe = popen(("ldd '" + file + "' 2>&1").c_str(), "r")) {
        char buffer[512];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr)
            text += buffer;
        pclose(pipe);
    }
    return text;
}

TEST(StartupLoad, WindowProgramsStartWithoutSoundLibraries)
{
    for (const char* program : {TARVOLIN_PROGRAM, TARVOLIN_DEMO}) {
        const std::string libraries = Libraries(program);
        ASSERT_NE(libraries.find("libQt6Widgets"), std::string::npos) << libraries;
        EXPECT_EQ(libraries.find("libQt6Multimedia"), std::string::npos) << program << "\n" << libraries;
        EXPECT_EQ(libraries.find("libpulse"), std::string::npos) << program << "\n" << libraries;
    }
    // The module holds them, and nothing it needs is missing.
    const std::string module = Libraries(TARVOLIN_SOUND_MODULE);
    EXPECT_NE(module.find("libQt6Multimedia"), std::string::npos) << module;
    EXPECT_EQ(module.find("not found"), std::string::npos) << module;
}

}  // namespace
