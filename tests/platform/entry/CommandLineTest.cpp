// The window programs' command line, run as a user runs it: the real
// executables in child processes, their output and exit status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#ifndef TARVOLIN_PROGRAM
#error "TARVOLIN_PROGRAM and TARVOLIN_DEMO must name the programs"
#endif

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the program with the arguments (single-quoted for the shell) and no
// display: none of these cases may need one.
Outcome RunProgram(const std::string& program, const std::vector<std::string>& args)
{
    const fs::path dir = fs::temp_directory_path();
    const fs::path out = dir / ("tarvolin-cmdline-out-" + std::to_string(getpid()));
    const fs::path err = dir / ("tarvolin-cmdline-err-" + std::to_string(getpid()));
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none '" + program + "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
    Outcome run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadAll(out);
    run.err = ReadAll(err);
    fs::remove(out);
    fs::remove(err);
    return run;
}

struct CommandCase {
    const char* name;
    const char* program;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> inOut;  // each must appear on standard output
    std::vector<std::string> inErr;  // each must appear on standard error
};

void PrintTo(const CommandCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommandLine : public ::testing::TestWithParam<CommandCase> { };

TEST_P(CommandLine, AnswersAndEndsWithItsStatus)
{
    const CommandCase& c = GetParam();
    const Outcome run = RunProgram(c.program, c.args);
    EXPECT_EQ(run.status, c.status) << "out: " << run.out << "\nerr: " << run.err;
    for (const std::string& text : c.inOut)
        EXPECT_NE(run.out.find(text), std::string::npos) << "'" << text << "' not on stdout:\n" << run.out;
    for (const std::string& text : c.inErr)
        EXPECT_NE(run.err.find(text), std::string::npos) << "'" << text << "' not on stderr:\n" << run.err;
    // Answers go to one stream only: help and version to stdout, faults to stderr.
    if (c.status == 0)
        EXPECT_EQ(run.err, "");
    else
        EXPECT_EQ(run.out, "");
}

const char* const kTarvolin = TARVOLIN_PROGRAM;
const char* const kDemo = TARVOLIN_DEMO;
const std::string kScenarios = TARVOLIN_TEST_SCENARIOS;

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLine,
    ::testing::Values(
        CommandCase{"Version", kTarvolin, {"--version"}, 0, {"Tarvolin 1.2\n"}, {}},
        CommandCase{"DemoVersion", kDemo, {"--version"}, 0, {"Tarvolin 1.2\n"}, {}},
        CommandCase{"Help", kTarvolin, {"--help"}, 0, {"Usage: tarvolin ", "--zoom N", "tarvolin-demo"}, {}},
        CommandCase{"ShortHelp", kTarvolin, {"-h"}, 0, {"Usage: tarvolin "}, {}},
        CommandCase{"DemoHelp", kDemo, {"--help"}, 0, {"Usage: tarvolin-demo", "--zoom N", "--scenario"}, {}},
        CommandCase{"HelpWinsOverLaterFaults", kTarvolin, {"--help", "--bogus"}, 0, {"Usage: tarvolin "}, {}},
        CommandCase{"UnknownOption", kTarvolin, {"--bogus"}, 2, {}, {"'--bogus'", "Usage: tarvolin "}},
        CommandCase{"StrayArgument", kTarvolin, {"wlan0"}, 2, {}, {"'wlan0'", "Usage: tarvolin "}},
        CommandCase{"DemoUnknownOption", kDemo, {"--bogus"}, 2, {}, {"'--bogus'", "Usage: tarvolin-demo"}},
        // A scenario that is no radio at all is refused before the window opens.
        CommandCase{"DemoScenarioFolder",
                    kDemo,
                    {"--scenario", kScenarios},
                    1,
                    {},
                    {"tarvolin-demo: " + kScenarios + ": is a directory, not a scenario file\n"}},
        CommandCase{"DemoEmptyScenario",
                    kDemo,
                    {"--scenario", kScenarios + "/empty.scn"},
                    1,
                    {},
                    {"tarvolin-demo: " + kScenarios + "/empty.scn: is empty"}},
        CommandCase{"DemoScenarioWithoutAdapters",
                    kDemo,
                    {"--scenario", kScenarios + "/comments-only.scn"},
                    1,
                    {},
                    {"tarvolin-demo: " + kScenarios + "/comments-only.scn: names no adapter"}},
        CommandCase{"ZoomTooLarge", kTarvolin, {"--zoom", "5"}, 2, {}, {"--zoom needs a number from 1 to 4"}},
        CommandCase{"ZoomZero", kTarvolin, {"--zoom=0"}, 2, {}, {"--zoom needs a number from 1 to 4"}},
        CommandCase{"ZoomNotANumber", kTarvolin, {"--zoom", "2x"}, 2, {}, {"'2x'"}},
        CommandCase{"ZoomFraction", kDemo, {"--zoom", "1.5"}, 2, {}, {"'1.5'"}},
        CommandCase{"ZoomWithoutValue", kTarvolin, {"--zoom"}, 2, {}, {"--zoom needs a number"}},
        // A good zoom before --version is taken; the version still answers.
        CommandCase{"ZoomThenVersion", kTarvolin, {"--zoom", "3", "--version"}, 0, {"Tarvolin 1.2\n"}, {}}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

}  // namespace
