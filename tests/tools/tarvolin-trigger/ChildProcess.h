// Runs a program as a child process with a given argument list and
// environment, and collects its exit and its output.
#pragma once

#include <string>
#include <vector>

namespace trigger_test {

struct ChildResult {
    bool exited = false;  // false when a signal ended it
    int status = -1;      // the exit status when it exited
    std::string output;   // standard output
    std::string errors;   // standard error
};

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment);

}  // namespace trigger_test
