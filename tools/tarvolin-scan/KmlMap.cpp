#include "tools/tarvolin-scan/KmlMap.h"

#include "tools/tarvolin-scan/CsvLog.h"

#include <cstdio>

namespace {

// KML colours are aabbggrr.
constexpr const char* kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
                              "<Document>\n"
                              "<name>Networks heard on a walk (tarvolin-scan)</name>\n"
                              "<Style id=\"open\"><IconStyle><color>ff00ff00</color></IconStyle>"
                              "<LabelStyle><color>ff00ff00</color></LabelStyle></Style>\n"
                              "<Style id=\"secured\"><IconStyle><color>ff0000ff</color></IconStyle>"
                              "<LabelStyle><color>ff0000ff</color></LabelStyle></Style>\n";
constexpr const char* kTail = "</Document>\n</kml>\n";

std::string Number(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace

std::string XmlText(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&apos;"; break;
        default: escaped.push_back(c);
        }
    }
    return escaped;
}

std::string MapName(const NetworkView& network)
{
    if (network.hidden)
        return "(hidden)";
    const std::string text = PrintableSsidBytes(network.ssidBytes);
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
        if (text.compare(i, 2, "\xEF\xBF") == 0 && i + 2 < text.size() &&
            (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) {
            name += text[i + 2] == '\xBE' ? "\\u{fffe}" : "\\u{ffff}";
            i += 2;
        } else {
            name.push_back(text[i]);
        }
    }
    return name;
}

bool KmlMap::Start(std::string& error) const
{
    return m_file.Check("cannot write the map " + m_file.Path(), error) && Write(error);
}

void KmlMap::Take(const std::vector<NetworkView>& scan, const GpsFix& fix, Clock::time_point time)
{
    for (const NetworkView& network : scan) {
        const auto [at, added] = m_index.emplace(network.bssid, m_marks.size());
        if (added)
            m_marks.push_back({network, fix, time});
        else if (network.signalDbm > m_marks[at->second].best.signalDbm)
            m_marks[at->second] = {network, fix, time};
    }
}

std::string KmlMap::Document() const
{
    std::string text = kHead;
    for (const Mark& mark : m_marks) {
        const NetworkView& n = mark.best;
        const bool open = n.details.security == platform::Security::Open;
        std::string description = "MAC: " + n.bssid + "\nSecurity: " + SecurityLabel(n.details) +
                                  "\nChannel: " + std::to_string(n.channel) + " (" + std::to_string(n.frequencyMhz) +
                                  " MHz)\nBest signal: " + std::to_string(n.signalDbm) + " dBm";
        if (!n.vendor.empty())
            description += "\nVendor: " + PrintableSsid(n.vendor);
        std::string coordinates = Number(mark.fix.longitude, 8) + "," + Number(mark.fix.latitude, 8);
        if (mark.fix.altitudeM)
            coordinates += "," + Number(*mark.fix.altitudeM, 1);
        text += "<Placemark>\n<name>" + XmlText(MapName(n)) + "</name>\n<description>" + XmlText(description) +
                "</description>\n<TimeStamp><when>" + IsoTime(mark.time) + "</when></TimeStamp>\n<styleUrl>#" +
                (open ? "open" : "secured") + "</styleUrl>\n<Point><coordinates>" + coordinates +
                "</coordinates></Point>\n</Placemark>\n";
    }
    return text + kTail;
}
