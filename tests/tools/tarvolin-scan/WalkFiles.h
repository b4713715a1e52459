// Reads the WiGLE log and the KML map back through read-walk-files.py
// (Python's csv and XML readers), for tests of both.
#pragma once

#include "ToolRunner.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <string>

namespace tooltest {

// The files' contents as read-walk-files.py prints them; null when either
// does not parse, with the reader's reason in error. "-" leaves a file out.
inline nlohmann::json ReadWalkFiles(const std::string& wigle, const std::string& kml, std::string& error)
{
    const std::string out = TempPath("walk-files.json");
    const std::string err = TempPath("walk-files.err");
    const std::string command = "python3 " + Quote(TARVOLIN_TEST_SCRIPTS "/read-walk-files.py") + " " + Quote(wigle) +
                                " " + Quote(kml) + " >" + Quote(out) + " 2>" + Quote(err);
    const int status = std::system(command.c_str());
    error = ReadFile(err);
    const std::string text = ReadFile(out);
    if (status != 0 || !nlohmann::json::accept(text))
        return nullptr;
    return nlohmann::json::parse(text);
}

}  // namespace tooltest
