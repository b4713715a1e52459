// Reads the WiGLE log, the KML map and the --log table back through
// read-walk-files.py (Python's csv and XML readers), and the map and the
// table through GDAL where it is installed, for tests of the files.
#pragma once

#include "ToolRunner.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <string>

namespace tooltest {

// The files' contents as read-walk-files.py prints them; null when any
// does not parse, with the reader's reason in error. "-" leaves the WiGLE
// log or the map out; an empty table path leaves the table out.
inline nlohmann::json ReadWalkFiles(const std::string& wigle, const std::string& kml, std::string& error,
                                    const std::string& table = "")
{
    const std::string out = TempPath("walk-files.json");
    const std::string err = TempPath("walk-files.err");
    const std::string command = "python3 " + Quote(TARVOLIN_TEST_SCRIPTS "/read-walk-files.py") + " " + Quote(wigle) +
                                " " + Quote(kml) + (table.empty() ? "" : " " + Quote(table)) + " >" + Quote(out) +
                                " 2>" + Quote(err);
    const int status = std::system(command.c_str());
    error = ReadFile(err);
    const std::string text = ReadFile(out);
    if (status != 0 || !nlohmann::json::accept(text))
        return nullptr;
    return nlohmann::json::parse(text);
}

// Whether GDAL's ogr2ogr is installed (Debian's gdal-bin).
inline bool HaveGdal()
{
    return std::system("ogr2ogr --version >/dev/null 2>&1") == 0;
}

// The features GDAL reads from a file (its KML or CSV driver), as GeoJSON;
// null when GDAL cannot read it, with its message in error.
inline nlohmann::json ReadWithGdal(const std::string& path, std::string& error)
{
    const std::string out = TempPath("gdal.json");
    const std::string err = TempPath("gdal.err");
    const int status =
        std::system(("ogr2ogr -f GeoJSON /vsistdout/ " + Quote(path) + " >" + Quote(out) + " 2>" + Quote(err)).c_str());
    error = ReadFile(err);
    const std::string text = ReadFile(out);
    if (status != 0 || !nlohmann::json::accept(text))
        return nullptr;
    return nlohmann::json::parse(text);
}

}  // namespace tooltest
