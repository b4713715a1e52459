#include "tools/tarvolin-scan/KmlMap.h"

#include "tools/tarvolin-scan/CsvLog.h"
#include "tools/tarvolin-scan/TextFields.h"
#include "tools/tarvolin-scan/XmlReader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace {

constexpr std::string_view kNamespace = "http://www.opengis.net/kml/2.2";
constexpr std::string_view kTitle = "Networks heard on a walk (tarvolin-scan)";

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

// What the description says before each value, in order; the vendor's line
// is there only when the vendor is known.
constexpr std::string_view kMacLine = "MAC: ";
constexpr std::string_view kSecurityLine = "Security: ";
constexpr std::string_view kChannelLine = "Channel: ";
constexpr std::string_view kSignalLine = "Best signal: ";
constexpr std::string_view kVendorLine = "Vendor: ";

std::string Description(const KmlMap::Placemark& mark)
{
    std::string text = std::string(kMacLine) + mark.bssid + "\n" + std::string(kSecurityLine) + mark.security + "\n" +
                       std::string(kChannelLine) + std::to_string(mark.channel) + " (" +
                       std::to_string(mark.frequencyMhz) + " MHz)\n" + std::string(kSignalLine) +
                       std::to_string(mark.signalDbm) + " dBm";
    if (!mark.vendor.empty())
        text += "\n" + std::string(kVendorLine) + mark.vendor;
    return text;
}

// Reads back what Description writes.
bool ParseDescription(std::string_view text, KmlMap::Placemark& mark)
{
    const std::vector<std::string_view> lines = SplitAt(text, '\n');
    const auto value = [&](std::size_t line, std::string_view lead, std::string_view& rest) {
        if (line >= lines.size() || !lines[line].starts_with(lead) || lines[line].size() == lead.size())
            return false;
        rest = lines[line].substr(lead.size());
        return true;
    };
    std::string_view mac, security, channel, signal, vendor;
    if (lines.size() < 4 || lines.size() > 5 || !value(0, kMacLine, mac) || !IsBssid(mac) ||
        !value(1, kSecurityLine, security) || !value(2, kChannelLine, channel) || !value(3, kSignalLine, signal) ||
        (lines.size() == 5 && !value(4, kVendorLine, vendor)))
        return false;
    // "6 (2437 MHz)" and "-50 dBm"
    const std::size_t open = channel.find(" (");
    if (open == std::string_view::npos || !channel.ends_with(" MHz)") || !signal.ends_with(" dBm") ||
        !ParseWhole(channel.substr(0, open), mark.channel) ||
        !ParseWhole(channel.substr(open + 2, channel.size() - open - 2 - 5), mark.frequencyMhz) ||
        !ParseWhole(signal.substr(0, signal.size() - 4), mark.signalDbm))
        return false;
    mark.bssid = mac;
    mark.security = security;
    mark.vendor = vendor;
    return true;
}

// "longitude,latitude" or "longitude,latitude,altitude", as KML writes a
// point; blanks around it are allowed.
bool ParseCoordinates(std::string_view text, KmlMap::Placemark& mark)
{
    const std::size_t first = text.find_first_not_of(" \t\n");
    const std::size_t last = text.find_last_not_of(" \t\n");
    if (first == std::string_view::npos)
        return false;
    const std::vector<std::string_view> parts = SplitAt(text.substr(first, last - first + 1), ',');
    double altitude = 0.0;
    if (parts.size() < 2 || parts.size() > 3 || !ParseWhole(parts[0], mark.longitude) ||
        !ParseWhole(parts[1], mark.latitude) ||
        (parts.size() == 3 && (!ParseWhole(parts[2], altitude) || !std::isfinite(altitude))))
        return false;
    if (parts.size() == 3)
        mark.altitudeM = altitude;
    return mark.longitude >= -180.0 && mark.longitude <= 180.0 && mark.latitude >= -90.0 && mark.latitude <= 90.0;
}

// The one child element of that name; null, with reason, when there is
// none or more than one.
const XmlElement* OnlyChild(const XmlElement& parent, std::string_view name, std::string& reason)
{
    const XmlElement* found = nullptr;
    for (const XmlElement& child : parent.children) {
        if (child.name != name)
            continue;
        if (found) {
            reason = "line " + std::to_string(child.line) + ": a second <" + child.name + "> in <" + parent.name + ">";
            return nullptr;
        }
        found = &child;
    }
    if (!found)
        reason = "line " + std::to_string(parent.line) + ": <" + parent.name + "> has no <" + std::string(name) + ">";
    return found;
}

// Whether every child of parent is one of names: the map holds nothing
// else, and would lose anything else when it is written again.
bool OnlyKnownChildren(const XmlElement& parent, std::initializer_list<std::string_view> names, std::string& reason)
{
    for (const XmlElement& child : parent.children) {
        if (std::find(names.begin(), names.end(), child.name) == names.end()) {
            reason = "line " + std::to_string(child.line) + ": <" + child.name + "> in <" + parent.name +
                     ">, which the map does not hold";
            return false;
        }
    }
    return true;
}

// The map's <Document> under its <kml> root; null, with reason, when the
// tree is not the one the map writes.
const XmlElement* MapDocument(const XmlElement& root, std::string& reason)
{
    const std::string* space = root.Attribute("xmlns");
    if (root.name != "kml" || !space || *space != kNamespace) {
        reason = "line " + std::to_string(root.line) + ": the root is not KML 2.2's <kml>";
        return nullptr;
    }
    const XmlElement* document =
        OnlyKnownChildren(root, {"Document"}, reason) ? OnlyChild(root, "Document", reason) : nullptr;
    if (!document || !OnlyKnownChildren(*document, {"name", "Style", "Placemark"}, reason))
        return nullptr;
    const XmlElement* title = OnlyChild(*document, "name", reason);
    if (title && title->text != kTitle) {
        reason = "line " + std::to_string(title->line) + ": the document's name is not the map's";
        return nullptr;
    }
    return title ? document : nullptr;
}

bool ParsePlacemark(const XmlElement& element, KmlMap::Placemark& mark, std::string& reason)
{
    if (!OnlyKnownChildren(element, {"name", "description", "TimeStamp", "styleUrl", "Point"}, reason))
        return false;
    const XmlElement* name = OnlyChild(element, "name", reason);
    const XmlElement* description = name ? OnlyChild(element, "description", reason) : nullptr;
    const XmlElement* stamp = description ? OnlyChild(element, "TimeStamp", reason) : nullptr;
    const XmlElement* when = stamp ? OnlyChild(*stamp, "when", reason) : nullptr;
    const XmlElement* style = when ? OnlyChild(element, "styleUrl", reason) : nullptr;
    const XmlElement* point = style ? OnlyChild(element, "Point", reason) : nullptr;
    const XmlElement* coordinates = point ? OnlyChild(*point, "coordinates", reason) : nullptr;
    if (!coordinates)
        return false;
    const std::string line = "line " + std::to_string(element.line) + ": ";
    mark.name = name->text;
    if (!ParseDescription(description->text, mark)) {
        reason = line + "the placemark's description is not one the map writes";
        return false;
    }
    if (!ParseIsoTime(when->text, mark.time)) {
        reason = line + "the placemark's time is not one the map writes";
        return false;
    }
    if (style->text != "#open" && style->text != "#secured") {
        reason = line + "the placemark's style is neither #open nor #secured";
        return false;
    }
    mark.open = style->text == "#open";
    if (!ParseCoordinates(coordinates->text, mark)) {
        reason = line + "the placemark's coordinates are not a longitude and a latitude";
        return false;
    }
    return true;
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

bool KmlMap::Read(std::string_view text, std::vector<Placemark>& marks, std::string& reason)
{
    marks.clear();
    // The map's title is what makes a file one of these maps at all.
    if (text.find("<name>" + std::string(kTitle) + "</name>") == std::string_view::npos) {
        reason = "is not a map of tarvolin-scan --kml";
        return false;
    }
    XmlElement root;
    const XmlElement* document = nullptr;
    if (!XmlReader::Read(text, root, reason) || !(document = MapDocument(root, reason))) {
        reason = "is damaged, " + reason;
        return false;
    }
    std::map<std::string, int> lines;  // BSSID -> the line of its placemark
    for (const XmlElement& element : document->children) {
        if (element.name != "Placemark")
            continue;
        Placemark& mark = marks.emplace_back();
        if (!ParsePlacemark(element, mark, reason)) {
            reason = "is damaged, " + reason;
            return false;
        }
        if (const auto [at, added] = lines.emplace(mark.bssid, element.line); !added) {
            reason = "is damaged, line " + std::to_string(element.line) + ": a second placemark for " + mark.bssid +
                     " (the first is on line " + std::to_string(at->second) + ")";
            return false;
        }
    }
    return true;
}

bool KmlMap::Start(std::string& error)
{
    std::vector<Placemark> earlier;
    const auto read = [&earlier](std::string_view text, std::string& reason) { return Read(text, earlier, reason); };
    if (!m_file.Open("cannot write the map " + m_file.Path(), read, error))
        return false;
    for (Placemark& mark : earlier)
        Place(std::move(mark));
    return Write(error);
}

void KmlMap::Place(Placemark mark)
{
    const auto [at, added] = m_index.emplace(mark.bssid, m_marks.size());
    if (added)
        m_marks.push_back(std::move(mark));
    else if (mark.signalDbm > m_marks[at->second].signalDbm)
        m_marks[at->second] = std::move(mark);
}

void KmlMap::Take(const std::vector<NetworkView>& scan, const GpsFix& fix, Clock::time_point time)
{
    for (const NetworkView& n : scan) {
        Placemark mark;
        mark.bssid = n.bssid;
        mark.name = MapName(n);
        mark.security = SecurityLabel(n.details);
        mark.open = n.details.security == platform::Security::Open;
        mark.channel = n.channel;
        mark.frequencyMhz = n.frequencyMhz;
        mark.signalDbm = n.signalDbm;
        mark.vendor = n.vendor.empty() ? std::string() : PrintableSsid(n.vendor);
        mark.latitude = fix.latitude;
        mark.longitude = fix.longitude;
        mark.altitudeM = fix.altitudeM;
        // The map writes the time to the millisecond; so is it kept.
        mark.time = std::chrono::floor<std::chrono::milliseconds>(time);
        Place(std::move(mark));
    }
}

std::string KmlMap::Document() const
{
    std::string text = kHead;
    for (const Placemark& mark : m_marks) {
        std::string coordinates = Number(mark.longitude, 8) + "," + Number(mark.latitude, 8);
        if (mark.altitudeM)
            coordinates += "," + Number(*mark.altitudeM, 1);
        text += "<Placemark>\n<name>" + XmlText(mark.name) + "</name>\n<description>" + XmlText(Description(mark)) +
                "</description>\n<TimeStamp><when>" + IsoTime(mark.time) + "</when></TimeStamp>\n<styleUrl>#" +
                (mark.open ? "open" : "secured") + "</styleUrl>\n<Point><coordinates>" + coordinates +
                "</coordinates></Point>\n</Placemark>\n";
    }
    return text + kTail;
}
