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

inline const std::string kWalk = TARVOLIN_SCENARIO_DIR "/street-walk.scn";

}  // namespace tooltest
