// What a watch with --gps keeps of a walk: it places each scan's readings
// at gpsd's latest fix and writes them to the WiGLE log and the KML map, and
// tells on stderr, once each time, when readings start or stop being
// placed: from the first scan on, so that a walker knows the positions are
// taken before trusting the files with a walk.
#pragma once

#include "tools/tarvolin-scan/GpsReader.h"
#include "tools/tarvolin-scan/KmlMap.h"
#include "tools/tarvolin-scan/NetworkView.h"
#include "tools/tarvolin-scan/Options.h"
#include "tools/tarvolin-scan/WigleLog.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class WalkRecorder {
public:
    WalkRecorder(const Options& options, const std::string& appRelease);

    // Opens the files and starts reading positions, waiting briefly for a
    // first fix so that the first scan can be placed. On failure error names
    // the cause.
    bool Start(std::string& error);

    // Takes one scan, heard at time.
    bool Record(const std::vector<NetworkView>& scan, std::chrono::system_clock::time_point time, std::string& error);

private:
    GpsReader m_gps;
    std::optional<WigleLog> m_wigle;
    std::optional<KmlMap> m_kml;
    std::optional<GpsReader::State> m_told;  // the state stderr last told of; none before the first scan
};
