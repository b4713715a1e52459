#include "platform/devices/SimulatedProvider.h"

#include "platform/devices/Scenario.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace platform {

namespace {

class SimulatedProvider final : public WirelessProvider {
public:
    explicit SimulatedProvider(Scenario scenario) : m_scenario(std::move(scenario)) { }

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

    // The scan completes at once; what it asked for is kept for the tests.
    DWORD TriggerScanOn(const std::string& name, std::span<const std::uint32_t> frequencies) override
    {
        const ScenarioAdapter* adapter = nullptr;
        if (const DWORD error = FindWireless(name, adapter); error != ERROR_SUCCESS)
            return error;
        if (adapter->triggerError != ERROR_SUCCESS)
            return adapter->triggerError;
        std::lock_guard lock(m_mutex);
        ++m_counters[name];
        m_requests[name].emplace_back(frequencies.begin(), frequencies.end());
        return ERROR_SUCCESS;
    }

    DWORD CountEndedScans(const std::string& name, std::uint64_t& ended) override
    {
        const ScenarioAdapter* adapter = nullptr;
        if (const DWORD error = FindWireless(name, adapter); error != ERROR_SUCCESS)
            return error;
        std::lock_guard lock(m_mutex);
        ended = m_counters[name];
        return ERROR_SUCCESS;
    }

    std::vector<std::vector<std::uint32_t>> Requests(const std::string& name)
    {
        std::lock_guard lock(m_mutex);
        return m_requests[name];
    }

    DWORD ReadScan(const std::string& name, std::vector<WirelessBss>& networks) override
    {
        const ScenarioAdapter* adapter = nullptr;
        if (const DWORD error = FindWireless(name, adapter); error != ERROR_SUCCESS)
            return error;
        std::uint64_t counter = 0;
        {
            std::lock_guard lock(m_mutex);
            counter = m_counters[name];
        }
        const std::uint32_t step = m_scenario.StepAt(counter);
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

    const Scenario m_scenario;
    std::mutex m_mutex;
    std::map<std::string, std::uint64_t> m_counters;  // scans requested, per adapter
    std::map<std::string, std::vector<std::vector<std::uint32_t>>> m_requests;
};

}  // namespace

std::vector<std::vector<std::uint32_t>> SimulatedScanRequests(WirelessProvider& provider, const std::string& adapter)
{
    auto* simulated = dynamic_cast<SimulatedProvider*>(&provider);
    return simulated != nullptr ? simulated->Requests(adapter) : std::vector<std::vector<std::uint32_t>>{};
}

std::shared_ptr<WirelessProvider> MakeSimulatedProviderFromText(std::string_view text, std::string& error)
{
    std::optional<Scenario> scenario = ParseScenario(text, error);
    if (!scenario)
        return nullptr;
    return std::make_shared<SimulatedProvider>(std::move(*scenario));
}

std::shared_ptr<WirelessProvider> MakeSimulatedProvider(const std::string& path, std::string& error)
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
    auto provider = MakeSimulatedProviderFromText(text.str(), message);
    if (!provider)
        error = path + ": " + message;
    return provider;
}

}  // namespace platform
