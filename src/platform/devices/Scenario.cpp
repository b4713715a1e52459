#include "platform/devices/Scenario.h"
#include "platform/Text.h"
#include "platform/devices/Ndis.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

namespace platform {

namespace {

constexpr std::uint32_t kMaxSteps = 1000000;
constexpr int kWeakestDbm = -127;
constexpr int kStrongestDbm = 0;
constexpr long long kLongestMs = 3600000;  // an hour: any longer is a mistake

struct Token {
    std::string key;    // the word before '=', or the whole word
    std::string value;  // after '=', quotes and escapes resolved
    bool hasValue = false;
    bool quotedValue = false;  // some of the value stood in quotes: it is text as written
};

// Splits a line into words: white space separates them outside double
// quotes, '#' outside quotes starts a comment. Inside quotes \" \\ and \xNN
// stand for a quote, a backslash and any byte.
bool Tokenize(std::string_view line, std::vector<Token>& tokens, std::string& error)
{
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#')
            break;
        Token token;
        std::string* target = &token.key;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#') {
            if (line[i] == '=' && !token.hasValue) {
                token.hasValue = true;
                target = &token.value;
                ++i;
            } else if (line[i] == '"') {
                token.quotedValue |= token.hasValue;
                ++i;
                bool closed = false;
                while (i < line.size()) {
                    const char q = line[i++];
                    if (q == '"') {
                        closed = true;
                        break;
                    }
                    if (q != '\\') {
                        target->push_back(q);
                        continue;
                    }
                    if (i >= line.size())
                        break;
                    const char e = line[i++];
                    if (e == '"' || e == '\\') {
                        target->push_back(e);
                    } else if (e == 'x' && i + 1 < line.size() && platform::HexDigit(line[i]) >= 0 &&
                               platform::HexDigit(line[i + 1]) >= 0) {
                        target->push_back(
                            static_cast<char>(platform::HexDigit(line[i]) * 16 + platform::HexDigit(line[i + 1])));
                        i += 2;
                    } else {
                        error = "unknown escape in quoted text (use \\\", \\\\ or \\xNN)";
                        return false;
                    }
                }
                if (!closed) {
                    error = "quoted text is not closed";
                    return false;
                }
            } else {
                target->push_back(line[i++]);
            }
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

bool ParseInt(std::string_view text, long long& value)
{
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool ParseMac(std::string_view text, std::array<std::uint8_t, 6>& mac)
{
    if (text.size() != 17)
        return false;
    for (std::size_t i = 0; i < 6; ++i) {
        const int high = platform::HexDigit(text[i * 3]);
        const int low = platform::HexDigit(text[i * 3 + 1]);
        if (high < 0 || low < 0 || (i < 5 && text[i * 3 + 2] != ':'))
            return false;
        mac[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return true;
}

std::string FormatMac(const std::array<std::uint8_t, 6>& mac)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        if (i > 0)
            text.push_back(':');
        text.push_back(digits[mac[i] >> 4]);
        text.push_back(digits[mac[i] & 15]);
    }
    return text;
}

// 2.4 GHz channels 1 to 14 and 5 GHz channels 32 to 177.
std::optional<std::uint32_t> ChannelToFrequency(long long channel)
{
    if (channel >= 1 && channel <= 13)
        return static_cast<std::uint32_t>(2407 + 5 * channel);
    if (channel == 14)
        return 2484;
    if (channel >= 32 && channel <= 177)
        return static_cast<std::uint32_t>(5000 + 5 * channel);
    return std::nullopt;
}

// "0:-90,10:-60,30:off": steps strictly increasing, values in dBm or "off".
bool ParseSignal(std::string_view text, std::vector<SignalPoint>& points, std::string& error)
{
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (comma != std::string_view::npos && text.empty()) {
            error = "signal ends with a comma";
            return false;
        }
        const std::size_t colon = item.find(':');
        long long step = 0;
        if (colon == std::string_view::npos || !ParseInt(item.substr(0, colon), step) || step < 0 ||
            step >= kMaxSteps) {
            error = "signal point '" + std::string(item) + "' is not STEP:DBM or STEP:off";
            return false;
        }
        SignalPoint point;
        point.step = static_cast<std::uint32_t>(step);
        const std::string_view value = item.substr(colon + 1);
        long long dbm = 0;
        if (value != "off") {
            if (!ParseInt(value, dbm) || dbm < kWeakestDbm || dbm > kStrongestDbm) {
                error = "signal '" + std::string(value) + "' at step " + std::to_string(step) +
                        " is not 'off' or a whole number of dBm from -127 to 0";
                return false;
            }
            point.dbm = static_cast<int>(dbm);
        }
        if (!points.empty() && points.back().step >= point.step) {
            error = "signal steps must increase (step " + std::to_string(step) + " follows step " +
                    std::to_string(points.back().step) + ")";
            return false;
        }
        points.push_back(point);
    }
    if (points.empty()) {
        error = "signal has no points";
        return false;
    }
    return true;
}

bool ParseSsid(const Token& token, std::vector<std::uint8_t>& ssid, std::string& error)
{
    // Only the bare form decodes: ssid="hex:41" names a network "hex:41".
    std::string bytes = token.value;
    if (!token.quotedValue && bytes.starts_with("hex:")) {
        const std::string_view digits = std::string_view(bytes).substr(4);
        if (digits.size() % 2 != 0) {
            error = "ssid=hex: needs two hex digits per byte";
            return false;
        }
        std::string decoded;
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            const int high = platform::HexDigit(digits[i]);
            const int low = platform::HexDigit(digits[i + 1]);
            if (high < 0 || low < 0) {
                error = "ssid=hex: has a character that is not a hex digit";
                return false;
            }
            decoded.push_back(static_cast<char>(high * 16 + low));
        }
        bytes = decoded;
    }
    if (bytes.size() > 32) {
        error = "ssid is " + std::to_string(bytes.size()) + " bytes long; at most 32 are allowed";
        return false;
    }
    ssid.assign(bytes.begin(), bytes.end());
    return true;
}

// Settles privacy and security together. Without security= the privacy word
// decides, as the privacy bit does for a network with no RSN or WPA element:
// secured is WEP. With it, privacy follows, and a contradicting word is refused.
bool ApplySecurity(const std::vector<Token>& tokens, std::optional<Security> security, WirelessBss& bss,
                   std::string& error)
{
    BssDetails& details = bss.details;
    if (!security) {
        details.security = bss.privacy ? Security::Wep : Security::Open;
    } else {
        const bool secured = *security != Security::Open;
        for (const Token& token : tokens) {
            if (!token.hasValue && (token.key == "open" || token.key == "secured") &&
                (token.key == "secured") != secured) {
                error = "'" + token.key + "' contradicts security=" + std::string(SecurityName(*security));
                return false;
            }
        }
        details.security = *security;
        bss.privacy = secured;
    }
    const bool suites =
        details.security == Security::Wpa || details.security == Security::Wpa2 || details.security == Security::Wpa3;
    if (details.enterprise && !suites) {
        error = "'enterprise' needs security=wpa, wpa2 or wpa3";
        return false;
    }
    if (details.transition && details.security <= Security::Wpa) {
        error = "'transition' needs security=owe, wpa2 or wpa3 (a weaker kind beside a stronger one)";
        return false;
    }
    return true;
}

// What a network line has said so far, before the line is checked as a
// whole (both ssid= and a frequency given, security settled with privacy).
struct NetworkDraft {
    explicit NetworkDraft(const std::set<std::string>& adapters) : declaredAdapters(adapters) { }

    const std::set<std::string>& declaredAdapters;
    ScenarioNetwork network;
    bool haveSsid = false;
    bool haveFrequency = false;
    std::optional<Security> security;
};

bool ParseIntIn(std::string_view text, long long low, long long high, long long& value)
{
    return ParseInt(text, value) && value >= low && value <= high;
}

bool ReadPrivacy(const Token& token, NetworkDraft& draft, std::string&)
{
    draft.network.bss.privacy = token.key == "secured";
    return true;
}

bool ReadMode(const Token& token, NetworkDraft& draft, std::string&)
{
    draft.network.bss.infrastructureMode = token.key == "ap" ? Ndis802_11Infrastructure : Ndis802_11IBSS;
    return true;
}

template <bool BssDetails::*Flag> bool ReadFlag(const Token&, NetworkDraft& draft, std::string&)
{
    draft.network.bss.details.*Flag = true;
    return true;
}

bool ReadSecurity(const Token& token, NetworkDraft& draft, std::string& error)
{
    draft.security = SecurityFromName(token.value);
    if (!draft.security)
        error = "security '" + token.value + "' is not open, wep, wpa, owe, wpa2 or wpa3";
    return draft.security.has_value();
}

bool ReadWidth(const Token& token, NetworkDraft& draft, std::string& error)
{
    long long width = 0;
    if (!ParseInt(token.value, width) || (width != 20 && width != 40 && width != 80 && width != 160 && width != 320)) {
        error = "width '" + token.value + "' is not 20, 40, 80, 160 or 320";
        return false;
    }
    draft.network.bss.details.widthMhz = static_cast<std::uint16_t>(width);
    return true;
}

bool ReadSsid(const Token& token, NetworkDraft& draft, std::string& error)
{
    if (!ParseSsid(token, draft.network.bss.ssid, error))
        return false;
    draft.haveSsid = true;
    return true;
}

// channel= and freq= both set the frequency, and only one of them may.
bool SetFrequency(NetworkDraft& draft, std::uint32_t frequencyMhz, std::string& error)
{
    if (draft.haveFrequency) {
        error = "give either channel= or freq=, once";
        return false;
    }
    draft.network.bss.frequencyMhz = frequencyMhz;
    draft.haveFrequency = true;
    return true;
}

bool ReadChannel(const Token& token, NetworkDraft& draft, std::string& error)
{
    long long channel = 0;
    std::optional<std::uint32_t> frequency;
    if (ParseInt(token.value, channel))
        frequency = ChannelToFrequency(channel);
    if (!frequency) {
        error = "channel '" + token.value + "' is not 1 to 14 or 32 to 177 (use freq=MHZ for others)";
        return false;
    }
    return SetFrequency(draft, *frequency, error);
}

bool ReadFrequency(const Token& token, NetworkDraft& draft, std::string& error)
{
    long long frequency = 0;
    if (!ParseIntIn(token.value, 2000, 8000, frequency)) {
        error = "freq '" + token.value + "' is not a frequency from 2000 to 8000 MHz";
        return false;
    }
    return SetFrequency(draft, static_cast<std::uint32_t>(frequency), error);
}

bool ReadBeacon(const Token& token, NetworkDraft& draft, std::string& error)
{
    long long period = 0;
    if (!ParseIntIn(token.value, 1, 65535, period)) {
        error = "beacon '" + token.value + "' is not a period from 1 to 65535 time units";
        return false;
    }
    draft.network.bss.beaconPeriod = static_cast<std::uint32_t>(period);
    return true;
}

bool ReadAdapter(const Token& token, NetworkDraft& draft, std::string& error)
{
    if (!draft.declaredAdapters.contains(token.value)) {
        error = "adapter '" + token.value + "' is not declared above";
        return false;
    }
    draft.network.adapter = token.value;
    return true;
}

bool ReadSignal(const Token& token, NetworkDraft& draft, std::string& error)
{
    return ParseSignal(token.value, draft.network.signal, error);
}

// The words a network line may hold after its MAC: the word, whether it is
// written key=value or stands alone, and how it is read.
struct NetworkWord {
    std::string_view key;
    bool hasValue;
    bool (*read)(const Token& token, NetworkDraft& draft, std::string& error);
};

constexpr NetworkWord kNetworkWords[] = {
    {"open", false, ReadPrivacy},
    {"secured", false, ReadPrivacy},
    {"security", true, ReadSecurity},
    {"enterprise", false, ReadFlag<&BssDetails::enterprise>},
    {"transition", false, ReadFlag<&BssDetails::transition>},
    {"wps", false, ReadFlag<&BssDetails::wps>},
    {"width", true, ReadWidth},
    {"ap", false, ReadMode},
    {"adhoc", false, ReadMode},
    {"ssid", true, ReadSsid},
    {"channel", true, ReadChannel},
    {"freq", true, ReadFrequency},
    {"beacon", true, ReadBeacon},
    {"adapter", true, ReadAdapter},
    {"signal", true, ReadSignal},
};

bool ReadNetworkWord(const Token& token, NetworkDraft& draft, std::string& error)
{
    const auto word = std::find_if(std::begin(kNetworkWords), std::end(kNetworkWords), [&token](const NetworkWord& w) {
        return w.key == token.key && w.hasValue == token.hasValue;
    });
    if (word == std::end(kNetworkWords)) {
        error = "unknown word '" + token.key + (token.hasValue ? "=" : "") + "' for a network";
        return false;
    }
    return word->read(token, draft, error);
}

class Parser {
public:
    bool ParseLine(std::string_view line, int number, std::string& error)
    {
        std::vector<Token> tokens;
        if (!Tokenize(line, tokens, error))
            return false;
        if (tokens.empty())
            return true;
        const Token& head = tokens.front();
        if (head.hasValue) {
            error = "a line starts with 'steps', 'after', 'timing', 'adapter' or 'network', not '" + head.key + "='";
            return false;
        }
        if (head.key == "steps")
            return ParseSteps(tokens, number, error);
        if (head.key == "after")
            return ParseAfter(tokens, error);
        if (head.key == "timing")
            return ParseTiming(tokens, number, error);
        if (head.key == "adapter")
            return ParseAdapter(tokens, error);
        if (head.key == "network")
            return ParseNetwork(tokens, number, error);
        error = "unknown line '" + head.key + "' (expected steps, after, timing, adapter or network)";
        return false;
    }

    // Checks what only the whole scenario shows; returns the line at fault.
    int Finish(std::string& error)
    {
        std::uint32_t lastPoint = 0;
        for (const ScenarioNetwork& network : m_scenario.networks)
            lastPoint = std::max(lastPoint, network.signal.back().step);
        if (m_stepsLine == 0) {
            m_scenario.steps = lastPoint + 1;
            return 0;
        }
        for (const ScenarioNetwork& network : m_scenario.networks) {
            if (network.signal.back().step >= m_scenario.steps) {
                error = "signal step " + std::to_string(network.signal.back().step) + " lies beyond the timeline of " +
                        std::to_string(m_scenario.steps) + " steps (line " + std::to_string(m_stepsLine) + ")";
                return network.line;
            }
        }
        return 0;
    }

    Scenario& Result() { return m_scenario; }

private:
    bool ParseSteps(const std::vector<Token>& tokens, int number, std::string& error)
    {
        long long steps = 0;
        if (tokens.size() != 2 || tokens[1].hasValue || !ParseInt(tokens[1].key, steps) || steps < 1 ||
            steps > kMaxSteps) {
            error = "expected 'steps N' with N from 1 to " + std::to_string(kMaxSteps);
            return false;
        }
        if (m_stepsLine != 0) {
            error = "steps given twice (first on line " + std::to_string(m_stepsLine) + ")";
            return false;
        }
        m_stepsLine = number;
        m_scenario.steps = static_cast<std::uint32_t>(steps);
        return true;
    }

    bool ParseAfter(const std::vector<Token>& tokens, std::string& error)
    {
        if (tokens.size() != 2 || tokens[1].hasValue || (tokens[1].key != "loop" && tokens[1].key != "hold")) {
            error = "expected 'after loop' or 'after hold'";
            return false;
        }
        m_scenario.loop = tokens[1].key == "loop";
        return true;
    }

    // "timing step=1s sweep=3s channel=90ms": any of the three, each once.
    bool ParseTiming(const std::vector<Token>& tokens, int number, std::string& error)
    {
        if (m_timingLine != 0) {
            error = "timing given twice (first on line " + std::to_string(m_timingLine) + ")";
            return false;
        }
        if (tokens.size() < 2) {
            error = "expected 'timing' with step=, sweep= or channel= (as 500ms or 2s)";
            return false;
        }
        std::set<std::string> given;
        for (std::size_t i = 1; i < tokens.size(); ++i) {
            const Token& token = tokens[i];
            std::uint32_t* target = token.key == "step"      ? &m_scenario.stepMs
                                    : token.key == "sweep"   ? &m_scenario.sweepMs
                                    : token.key == "channel" ? &m_scenario.channelMs
                                                             : nullptr;
            if (!token.hasValue || target == nullptr) {
                error = "unknown word '" + token.key + "' for timing (expected step=, sweep= or channel=)";
                return false;
            }
            if (!given.insert(token.key).second) {
                error = token.key + "= given twice";
                return false;
            }
            if (!ParseDuration(token.value, *target)) {
                error = token.key + " '" + token.value + "' is not a time from 1ms to 1h, in whole ms or s";
                return false;
            }
        }
        m_timingLine = number;
        return true;
    }

    // "250ms" or "2s".
    static bool ParseDuration(std::string_view text, std::uint32_t& ms)
    {
        long long value = 0;
        long long unit = 0;
        if (text.ends_with("ms")) {
            text.remove_suffix(2);
            unit = 1;
        } else if (text.ends_with("s")) {
            text.remove_suffix(1);
            unit = 1000;
        }
        if (unit == 0 || !ParseIntIn(text, 1, kLongestMs / unit, value))
            return false;
        ms = static_cast<std::uint32_t>(value * unit);
        return true;
    }

    bool ParseAdapter(const std::vector<Token>& tokens, std::string& error)
    {
        if (tokens.size() < 3 || tokens[1].hasValue || tokens[1].key.empty()) {
            error = "expected 'adapter NAME wireless|wired [trigger=denied|no-capability]'";
            return false;
        }
        ScenarioAdapter adapter;
        adapter.name = tokens[1].key;
        if (m_adapterNames.contains(adapter.name)) {
            error = "adapter '" + adapter.name + "' is declared twice";
            return false;
        }
        for (std::size_t i = 2; i < tokens.size(); ++i) {
            const Token& token = tokens[i];
            if (!token.hasValue && (token.key == "wireless" || token.key == "wired"))
                adapter.wireless = token.key == "wireless";
            else if (token.hasValue && token.key == "trigger" && token.value == "denied")
                adapter.triggerError = ERROR_ACCESS_DENIED;
            else if (token.hasValue && token.key == "trigger" && token.value == "no-capability")
                adapter.triggerError = ERROR_PRIVILEGE_NOT_HELD;
            else {
                error = "unknown word '" + token.key +
                        "' for an adapter (expected wireless, wired, trigger=denied or trigger=no-capability)";
                return false;
            }
        }
        m_adapterNames.insert(adapter.name);
        m_scenario.adapters.push_back(std::move(adapter));
        return true;
    }

    bool ParseNetwork(const std::vector<Token>& tokens, int number, std::string& error)
    {
        NetworkDraft draft{m_adapterNames};
        ScenarioNetwork& network = draft.network;
        network.line = number;
        if (tokens.size() < 2 || tokens[1].hasValue || !ParseMac(tokens[1].key, network.bss.bssid)) {
            error = "expected 'network MAC ...' with a MAC such as 02:00:00:00:00:01";
            return false;
        }
        for (std::size_t i = 2; i < tokens.size(); ++i) {
            if (!ReadNetworkWord(tokens[i], draft, error))
                return false;
        }
        if (!draft.haveSsid || !draft.haveFrequency || network.signal.empty()) {
            error = "a network needs ssid=, channel= or freq=, and signal=";
            return false;
        }
        if (!ApplySecurity(tokens, draft.security, network.bss, error))
            return false;
        const std::string key = network.adapter + '|' + FormatMac(network.bss.bssid);
        if (const auto it = m_macLines.find(key); it != m_macLines.end()) {
            error = "MAC " + FormatMac(network.bss.bssid) + " is already used on line " + std::to_string(it->second);
            return false;
        }
        m_macLines.emplace(key, number);
        m_scenario.networks.push_back(std::move(network));
        return true;
    }

    Scenario m_scenario;
    int m_stepsLine = 0;
    int m_timingLine = 0;
    std::set<std::string> m_adapterNames;
    std::map<std::string, int> m_macLines;
};

}  // namespace

std::uint32_t Scenario::StepAt(std::uint64_t walked) const
{
    if (loop)
        return static_cast<std::uint32_t>(walked % steps);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(walked, steps - 1));
}

std::uint32_t Scenario::ScanMs(std::size_t frequencies) const
{
    if (frequencies == 0)
        return sweepMs;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{channelMs} * frequencies, sweepMs));
}

std::optional<int> SignalAt(const ScenarioNetwork& network, std::uint32_t step)
{
    const auto& points = network.signal;
    // The last point at or before the step decides; before the first point
    // the network has not appeared yet.
    auto next = std::upper_bound(points.begin(), points.end(), step,
                                 [](std::uint32_t s, const SignalPoint& p) { return s < p.step; });
    if (next == points.begin())
        return std::nullopt;
    const SignalPoint& at = *(next - 1);
    if (!at.dbm || next == points.end() || !next->dbm)
        return at.dbm;
    const long long span = next->step - at.step;
    const long long moved = step - at.step;
    return static_cast<int>(*at.dbm + (*next->dbm - *at.dbm) * moved / span);
}

std::optional<Scenario> ParseScenario(std::string_view text, std::string& error)
{
    Parser parser;
    const std::string_view all = text;
    int number = 0;
    while (!text.empty() || number == 0) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        std::string message;
        if (!parser.ParseLine(line, number, message)) {
            error = "line " + std::to_string(number) + ": " + message;
            return std::nullopt;
        }
    }
    std::string message;
    if (const int line = parser.Finish(message); line != 0) {
        error = "line " + std::to_string(line) + ": " + message;
        return std::nullopt;
    }
    // A radio without adapters is never what a scenario means: it is an
    // empty file, or the wrong one.
    if (parser.Result().adapters.empty()) {
        const bool blank = all.find_first_not_of(" \t\r\n") == std::string_view::npos;
        error = blank ? "is empty; a scenario declares at least one adapter"
                      : "names no adapter; declare one with 'adapter NAME wireless' or 'adapter NAME wired'";
        return std::nullopt;
    }
    return std::move(parser.Result());
}

}  // namespace platform
