// The map a walk leaves: a KML file with one placemark for every network
// heard at a known position, at the position of its strongest reading,
// named by the network's name and described by its security, channel and
// best signal. Open networks are green and secured ones red, so that a
// walk's free networks stand out in any map program. The file is replaced
// whole after each placed scan, so a reader or a crash only meets a whole
// document.
#pragma once

#include "tools/tarvolin-scan/AtomicFile.h"
#include "tools/tarvolin-scan/GpsReader.h"
#include "tools/tarvolin-scan/NetworkView.h"

#include <chrono>
#include <map>
#include <string>
#include <vector>

class KmlMap {
public:
    using Clock = std::chrono::system_clock;

    explicit KmlMap(std::string path) : m_file(std::move(path)) { }

    // Whether the map can be written, before any scan; writes the empty map,
    // so that the file is a whole document from the start. On failure error
    // names the cause.
    bool Start(std::string& error) const;

    // Takes one scan's networks, all heard at fix at time: a network's
    // placemark moves to this reading when it is stronger than every earlier
    // one (the first of equally strong readings keeps it).
    void Take(const std::vector<NetworkView>& scan, const GpsFix& fix, Clock::time_point time);

    // Replaces the file with the map of everything taken so far.
    bool Write(std::string& error) const { return m_file.Replace(Document(), error); }

    std::string Document() const;

private:
    struct Mark {
        NetworkView best;
        GpsFix fix;
        Clock::time_point time;
    };

    AtomicFile m_file;
    std::vector<Mark> m_marks;                   // in the order first placed
    std::map<std::string, std::size_t> m_index;  // BSSID -> mark
};

// Text for an XML element: &, <, >, " and ' as entities.
std::string XmlText(const std::string& text);

// A network's name for the map: escaped as PrintableSsidBytes writes it,
// with U+FFFE and U+FFFF (which XML does not allow) as \u{fffe} and
// \u{ffff}; "(hidden)" for a hidden network.
std::string MapName(const NetworkView& network);
