#include "tools/tarvolin-scan/JsonOutput.h"

nlohmann::ordered_json NetworkJson(const NetworkView& view)
{
    nlohmann::ordered_json object;
    object["bssid"] = view.bssid;
    object["ssid"] = view.ssid;
    object["ssid_hex"] = view.ssidHex;
    object["hidden"] = view.hidden;
    object["frequency_mhz"] = view.frequencyMhz;
    object["channel"] = view.channel;
    object["band"] = view.band.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(view.band);
    object["width_mhz"] = view.details.widthMhz;
    object["signal_dbm"] = view.signalDbm;
    object["mode"] = view.mode;
    object["security"] = platform::SecurityName(view.details.security);
    object["transition"] = view.details.transition;
    object["enterprise"] = view.details.enterprise;
    object["wps"] = view.details.wps;
    object["vendor"] = view.vendor.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(view.vendor);
    object["last_seen_ms"] = view.lastSeenMs ? nlohmann::ordered_json(*view.lastSeenMs) : nlohmann::ordered_json();
    return object;
}

std::string JsonLine(const nlohmann::ordered_json& object)
{
    return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
