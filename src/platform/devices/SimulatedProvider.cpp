#include "platform/devices/SimulatedProvider.h"

#include "platform/devices/Scenario.h"
#include "platform/devices/SimulatedClock.h"

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string_view>

namespace platform {

namespace {

struct ScanRequest {
    std::uint64_t servedBy = 0;  // the number of the first scan that serves it (1 for the first scan)
    std::vector<std::uint32_t> frequencies;
};

// What one adapter's radio is doing and has done. Scans run one at a time,
// as in the kernel, so they end in the order they started.
struct AdapterRadio {
    std::uint64_t started = 0;                // scans started so far
    std::uint64_t ended = 0;                  // scans ended so far
    std::optional<std::uint64_t> runningEnd;  // when the scan under way ends, in ms
    std::uint64_t heardAtMs = 0;              // when the scan the list shows ended; 0 before any
    std::optional<ScanRequest> latest;        // the latest request, busy or not
    std::vector<std::vector<std::uint32_t>> requests;
};

class SimulatedProvider final : public WirelessProvider {
public:
    SimulatedProvider(Scenario scenario, SimulatedTime time) : m_scenario(std::move(scenario)), m_clock(time) { }

    DWORD ListInterfaces(std::vector<std::string>& names) override
    {
        names.clear();
        for (const ScenarioAdapter& adapter : m_scenario.adapters)
            names.push_back(adapter.name);
        return ERROR_SUCCESS;
    }

    DWORD IsWireless(const std::string& name, bool& wireless) override
    {
        const ScenarioAdapter* adapter = Find(name);
        if (adapter == nullptr)
            return ERROR_FILE_NOT_FOUND;
        wireless = adapter->wireless;
        return ERROR_SUCCESS;
    }

    DWORD TriggerScan(const std::string& name) override { return TriggerScanOn(name, {}); }

    // Starts a scan that ends after the scenario's time for it. While one
    // runs the request is refused as busy, as the kernel refuses it.
    DWORD TriggerScanOn(const std::string& name, std::span<const std::uint32_t> frequencies) override
    {
        const ScenarioAdapter* adapter = nullptr;
        if (const DWORD error = FindWireless(name, adapter); error != ERROR_SUCCESS)
            return error;
        if (adapter->triggerError != ERROR_SUCCESS)
            return adapter->triggerError;
        std::lock_guard lock(m_mutex);
        AdapterRadio& radio = CatchUp(name);
        radio.requests.emplace_back(frequencies.begin(), frequencies.end());
        // A request refused as busy is served by the scan after the one under way.
        radio.latest = ScanRequest{radio.started + 1, radio.requests.back()};
        if (radio.runningEnd)
            return ERROR_BUSY;
        Start(radio, radio.latest->frequencies);
        return ERROR_SUCCESS;
    }

    DWORD CountEndedScans(const std::string& name, std::uint64_t& ended) override
    {
        const ScenarioAdapter* adapter = nullptr;
        if (const DWORD error = FindWireless(name, adapter); error != ERROR_SUCCESS)
            return error;
        std::lock_guard lock(m_mutex);
        ended = CatchUp(name).ended;
        return ERROR_SUCCESS;
    }

    // Waits for a scan begun at or after the latest request to end. One
    // already running when the request came (which was refused as busy)
    // does not serve; once it has ended the request is made again, as the
    // nl80211 provider does.
    DWORD WaitForScan(const std::string& name, unsigned timeoutMs, std::string& why) override
    {
        const ScenarioAdapter* adapter = nullptr;
        if (const DWORD error = FindWireless(name, adapter); error != ERROR_SUCCESS)
            return error;
        if (adapter->triggerError != ERROR_SUCCESS) {
            why = "the scenario refuses scans on " + name;
            return adapter->triggerError;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::unique_lock lock(m_mutex);
        while (true) {
            AdapterRadio& radio = CatchUp(name);
            if (!radio.latest || radio.ended >= radio.latest->servedBy)
                return ERROR_SUCCESS;
            if (!radio.runningEnd)
                Start(radio, radio.latest->frequencies);
            if (m_clock.Kind() == SimulatedTime::Leaping)
                continue;  // the next catch-up leaps over it
            if (std::chrono::steady_clock::now() >= deadline)
                return ERROR_TIMEOUT;
            // In real time the scan's end is known; a manual clock is moved
            // by someone else, who wakes this wait.
            auto wake = deadline;
            if (m_clock.Kind() == SimulatedTime::RealTime)
                wake = std::min(wake, m_clock.WallTimeOf(*radio.runningEnd));
            m_moved.wait_until(lock, wake);
        }
    }

    DWORD ReadScan(const std::string& name, std::vector<WirelessBss>& networks) override
    {
        const ScenarioAdapter* adapter = nullptr;
        if (const DWORD error = FindWireless(name, adapter); error != ERROR_SUCCESS)
            return error;
        std::uint64_t heardAtMs = 0;
        {
            std::lock_guard lock(m_mutex);
            heardAtMs = CatchUp(name).heardAtMs;
        }
        const std::uint32_t step = m_scenario.StepAtTime(heardAtMs);
        networks.clear();
        for (const ScenarioNetwork& network : m_scenario.networks) {
            if (!network.adapter.empty() && network.adapter != name)
                continue;
            if (const std::optional<int> dbm = SignalAt(network, step)) {
                networks.push_back(network.bss);
                networks.back().rssiDbm = *dbm;
            }
        }
        return ERROR_SUCCESS;
    }

    std::vector<std::vector<std::uint32_t>> Requests(const std::string& name)
    {
        std::lock_guard lock(m_mutex);
        return m_radios[name].requests;
    }

    bool Advance(std::uint64_t ms)
    {
        if (!m_clock.Held())
            return false;
        {
            std::lock_guard lock(m_mutex);
            m_clock.MoveTo(m_clock.NowMs() + ms);
        }
        m_moved.notify_all();
        return true;
    }

private:
    const ScenarioAdapter* Find(const std::string& name) const
    {
        for (const ScenarioAdapter& adapter : m_scenario.adapters) {
            if (adapter.name == name)
                return &adapter;
        }
        return nullptr;
    }

    DWORD FindWireless(const std::string& name, const ScenarioAdapter*& adapter) const
    {
        adapter = Find(name);
        if (adapter == nullptr)
            return ERROR_FILE_NOT_FOUND;
        return adapter->wireless ? ERROR_SUCCESS : ERROR_NOT_SUPPORTED;
    }

    // Brings the adapter's radio up to the clock: a leaping clock first
    // leaps to the end of the scan under way; a scan due by now ends.
    // Called with the mutex held.
    AdapterRadio& CatchUp(const std::string& name)
    {
        AdapterRadio& radio = m_radios[name];
        if (radio.runningEnd && m_clock.Kind() == SimulatedTime::Leaping)
            m_clock.MoveTo(*radio.runningEnd);
        if (radio.runningEnd && *radio.runningEnd <= m_clock.NowMs()) {
            ++radio.ended;
            radio.heardAtMs = *radio.runningEnd;
            radio.runningEnd.reset();
        }
        return radio;
    }

    void Start(AdapterRadio& radio, const std::vector<std::uint32_t>& frequencies)
    {
        ++radio.started;
        radio.runningEnd = m_clock.NowMs() + m_scenario.ScanMs(frequencies.size());
    }

    const Scenario m_scenario;
    std::mutex m_mutex;
    std::condition_variable m_moved;  // a held clock moved
    SimulatedClock m_clock;
    std::map<std::string, AdapterRadio> m_radios;
};

}  // namespace

SimulatedTime SimulatedTimeFromEnvironment()
{
    const char* value = std::getenv("TARVOLIN_SIMULATED_TIME");
    const std::string_view time = value != nullptr ? value : "";
    if (time == "leap")
        return SimulatedTime::Leaping;
    if (time == "manual")
        return SimulatedTime::Manual;
    return SimulatedTime::RealTime;
}

std::vector<std::vector<std::uint32_t>> SimulatedScanRequests(WirelessProvider& provider, const std::string& adapter)
{
    auto* simulated = dynamic_cast<SimulatedProvider*>(&provider);
    return simulated != nullptr ? simulated->Requests(adapter) : std::vector<std::vector<std::uint32_t>>{};
}

bool AdvanceSimulatedClock(WirelessProvider& provider, std::uint64_t ms)
{
    auto* simulated = dynamic_cast<SimulatedProvider*>(&provider);
    return simulated != nullptr && simulated->Advance(ms);
}

std::shared_ptr<WirelessProvider> MakeSimulatedProviderFromText(std::string_view text, std::string& error,
                                                                SimulatedTime time)
{
    std::optional<Scenario> scenario = ParseScenario(text, error);
    if (!scenario)
        return nullptr;
    return std::make_shared<SimulatedProvider>(std::move(*scenario), time);
}

std::shared_ptr<WirelessProvider> MakeSimulatedProvider(const std::string& path, std::string& error, SimulatedTime time)
{
    // A folder opens as a stream that reads as empty; say what it is instead.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = path + ": is a directory, not a scenario file";
        return nullptr;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot open the scenario file";
        return nullptr;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        error = path + ": cannot read the scenario file";
        return nullptr;
    }
    std::string message;
    auto provider = MakeSimulatedProviderFromText(text.str(), message, time);
    if (!provider)
        error = path + ": " + message;
    return provider;
}

}  // namespace platform
