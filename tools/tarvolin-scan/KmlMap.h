// The map a walk leaves: a KML file with one placemark for every network
// heard at a known position, at the position of its strongest reading,
// named by the network's name and described by its security, channel and
// best signal. Open networks are green and secured ones red, so that a
// walk's free networks stand out in any map program. The file is replaced
// whole after each placed scan, so a reader or a crash only meets a whole
// document.
//
// A map an earlier walk left is continued: its placemarks are read back,
// and a network heard again moves only when this walk hears it stronger.
#pragma once

#include "tools/tarvolin-scan/AtomicFile.h"
#include "tools/tarvolin-scan/GpsReader.h"
#include "tools/tarvolin-scan/NetworkView.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class KmlMap {
public:
    using Clock = std::chrono::system_clock;

    // One network's placemark: what the map shows of it, as it shows it.
    struct Placemark {
        std::string bssid;     // aa:bb:cc:dd:ee:ff, lower case; one placemark per BSSID
        std::string name;      // as MapName writes it
        std::string security;  // as SecurityLabel writes it
        bool open = false;     // drawn as an open network
        std::uint32_t channel = 0;
        std::uint32_t frequencyMhz = 0;
        int signalDbm = 0;      // the strongest reading
        std::string vendor;     // as PrintableSsid writes it; empty when unknown
        double latitude = 0.0;  // of the strongest reading, in degrees
        double longitude = 0.0;
        std::optional<double> altitudeM;  // none from a fix of two dimensions
        Clock::time_point time;           // of the strongest reading, to the millisecond

        bool operator==(const Placemark&) const = default;
    };

    explicit KmlMap(std::string path) : m_file(std::move(path)) { }

    // Opens the map before any scan: checks that it can be written, reads
    // back the map a file there holds (an empty file or none starts a new
    // one; any other file, or a map that no longer reads, is refused and
    // left as it is) and writes it, so that the file is a whole document
    // from the start. On failure error names the cause.
    bool Start(std::string& error);

    // Takes one scan's networks, all heard at fix at time: a network's
    // placemark moves to this reading when it is stronger than every earlier
    // one (the first of equally strong readings keeps it).
    void Take(const std::vector<NetworkView>& scan, const GpsFix& fix, Clock::time_point time);

    // Replaces the file with the map of everything taken so far.
    bool Write(std::string& error) const { return m_file.Replace(Document(), error); }

    std::string Document() const;

    // Reads a map back. On failure reason says why, as the rest of a
    // sentence about the file: "is not a map of tarvolin-scan --kml", or
    // "is damaged, line N: ..." for a map cut short or edited so that it no
    // longer reads.
    static bool Read(std::string_view text, std::vector<Placemark>& marks, std::string& reason);

private:
    void Place(Placemark mark);

    AtomicFile m_file;
    std::vector<Placemark> m_marks;              // in the order first placed
    std::map<std::string, std::size_t> m_index;  // BSSID -> mark
};

// Text for an XML element: &, <, >, " and ' as entities.
std::string XmlText(const std::string& text);

// A network's name for the map: escaped as PrintableSsidBytes writes it,
// with U+FFFE and U+FFFF (which XML does not allow) as \u{fffe} and
// \u{ffff}; "(hidden)" for a hidden network.
std::string MapName(const NetworkView& network);
