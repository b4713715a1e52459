// Runs tarvolin-scan as a separate process, as people and scripts run it.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace tooltest {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline std::string Quote(const std::string& word)
{
    std::string quoted = "'";
    for (const char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted.push_back(c);
    }
    return quoted + "'";
}

// The tools run on a simulated radio whose clock leaps over each scan (see
// docs/scenario-format.md), so that what they hear is the same at every run
// and comes at once; a test of pace takes this off for its run.
inline const bool kLeapingRadio = setenv("TARVOLIN_SIMULATED_TIME", "leap", 0) == 0;

// Tests run side by side as separate processes: each has its own files.
inline std::string TempPath(const std::string& name)
{
    return ::testing::TempDir() + std::to_string(getpid()) + "-" + name;
}

inline Result RunTool(const std::vector<std::string>& arguments)
{
    const std::string out = TempPath("tool.out");
    const std::string err = TempPath("tool.err");
    std::string command = Quote(TARVOLIN_SCAN_TOOL);
    for (const std::string& argument : arguments)
        command += " " + Quote(argument);
    command += " >" + Quote(out) + " 2>" + Quote(err);
    const int raw = std::system(command.c_str());
    Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(out);
    result.err = ReadFile(err);
    return result;
}

// Starts the tool without waiting for it; its output goes to files.
inline pid_t StartTool(const std::vector<std::string>& arguments, const std::string& out, const std::string& err)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(outFd, 1);
        dup2(errFd, 2);
        std::vector<char*> argv{const_cast<char*>(TARVOLIN_SCAN_TOOL)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(TARVOLIN_SCAN_TOOL, argv.data());
        _exit(127);
    }
    return pid;
}

inline std::string WriteScenario(const std::string& name, const std::string& text)
{
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

inline std::string FromHex(std::string_view hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

// Reads an escaped name back: \\, \xNN and \u{hex}; the rest as it is.
inline std::string Unescape(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out.push_back(text[i]);
        } else if (text[i + 1] == '\\') {
            out.push_back('\\');
            i += 1;
        } else if (text[i + 1] == 'x') {
            out.push_back(static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16)));
            i += 3;
        } else if (text[i + 1] == 'u') {
            const std::size_t end = text.find('}', i);
            const auto c = static_cast<char32_t>(std::stoul(text.substr(i + 3, end - i - 3), nullptr, 16));
            if (c < 0x800) {
                out.push_back(static_cast<char>(0xC0 | c >> 6));
            } else {
                out.push_back(static_cast<char>(0xE0 | c >> 12));
                out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            }
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            i = end;
        }
    }
    return out;
}

// The shipped street walk with every scan a step long, so that each scan a
// tool makes, of every channel or of one, reads the next step of the walk.
inline const std::string kWalk = WriteScenario(
    "street-walk-stepped.scn", "timing sweep=1s channel=1s\n" + ReadFile(TARVOLIN_SCENARIO_DIR "/street-walk.scn"));

}  // namespace tooltest
