// A provider for tests, in one of two ways: its answers set directly, for
// what a scenario cannot express (failing calls, arbitrary interface names);
// or a simulated radio behind it, answering as that radio does. Either way it
// records what it was asked, and a hook set for a call answers that call
// instead: a read that fails or stands for a scan still running.
#pragma once

#include "platform/devices/SimulatedProvider.h"
#include "platform/devices/WirelessProvider.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class FakeProvider final : public platform::WirelessProvider {
public:
    FakeProvider() = default;
    // Answers as inner does, except where a hook is set.
    explicit FakeProvider(std::shared_ptr<platform::WirelessProvider> inner) : m_inner(std::move(inner)) { }

    // The answers without an inner provider.
    std::vector<std::string> interfaces;
    std::map<std::string, bool> wireless;
    std::map<std::string, bool> canScan;  // wireless ones not listed here can
    std::vector<platform::WirelessBss> networks;
    DWORD error = ERROR_SUCCESS;  // returned by every call when set
    std::uint64_t endedScans = 0;
    DWORD countError = ERROR_NOT_SUPPORTED;  // CountEndedScans's answer when error is not set

    // Hooks, which answer their call in place of the above or the inner provider.
    std::function<DWORD(const std::string& name, std::vector<platform::WirelessBss>& networks)> onReadScan;
    std::function<DWORD(const std::string& name, std::uint64_t& ended)> onCountEndedScans;

    // What was asked, in order.
    std::vector<std::string> triggered;                 // the interface of every scan request
    std::vector<std::vector<std::uint32_t>> limitedTo;  // the frequencies of each limited scan
    std::vector<std::string> read;                      // the interface of every read of the scan list

    DWORD ListInterfaces(std::vector<std::string>& names) override
    {
        if (m_inner)
            return m_inner->ListInterfaces(names);
        names = interfaces;
        return error;
    }
    DWORD IsWireless(const std::string& name, bool& result) override
    {
        if (m_inner)
            return m_inner->IsWireless(name, result);
        if (error != ERROR_SUCCESS)
            return error;
        const auto it = wireless.find(name);
        if (it == wireless.end())
            return ERROR_FILE_NOT_FOUND;
        result = it->second;
        return ERROR_SUCCESS;
    }
    DWORD CanScan(const std::string& name, bool& result) override
    {
        if (m_inner)
            return m_inner->CanScan(name, result);
        const auto it = canScan.find(name);
        if (error != ERROR_SUCCESS || it == canScan.end())
            return IsWireless(name, result);
        result = it->second;
        return ERROR_SUCCESS;
    }
    DWORD TriggerScan(const std::string& name) override
    {
        triggered.push_back(name);
        return m_inner ? m_inner->TriggerScan(name) : error;
    }
    DWORD TriggerScanOn(const std::string& name, std::span<const std::uint32_t> frequencies) override
    {
        limitedTo.emplace_back(frequencies.begin(), frequencies.end());
        triggered.push_back(name);
        return m_inner ? m_inner->TriggerScanOn(name, frequencies) : error;
    }
    DWORD CountEndedScans(const std::string& name, std::uint64_t& ended) override
    {
        if (onCountEndedScans)
            return onCountEndedScans(name, ended);
        if (m_inner)
            return m_inner->CountEndedScans(name, ended);
        if (error != ERROR_SUCCESS)
            return error;
        ended = endedScans;
        return countError;
    }
    DWORD ReadScan(const std::string& name, std::vector<platform::WirelessBss>& result) override
    {
        read.push_back(name);
        if (onReadScan)
            return onReadScan(name, result);
        if (m_inner)
            return m_inner->ReadScan(name, result);
        result = networks;
        return error;
    }
    DWORD WaitForScan(const std::string& name, unsigned timeoutMs, std::string& why) override
    {
        return m_inner ? m_inner->WaitForScan(name, timeoutMs, why) : ERROR_SUCCESS;
    }

    // The provider behind this one, or null.
    platform::WirelessProvider* Inner() const { return m_inner.get(); }

private:
    std::shared_ptr<platform::WirelessProvider> m_inner;
};

// Puts a FakeProvider over the simulated radio of a scenario's text in place
// as the process's radio. Null, with error saying why, when the text does not
// parse. The radio's clock leaps over each scan unless time says otherwise,
// so ticks sent one after another each see the scan before them ended.
inline std::shared_ptr<FakeProvider> UseSimulatedRadio(std::string_view scenario, std::string& error,
                                                       platform::SimulatedTime time = platform::SimulatedTime::Leaping)
{
    auto simulated = platform::MakeSimulatedProviderFromText(scenario, error, time);
    if (!simulated)
        return nullptr;
    auto radio = std::make_shared<FakeProvider>(std::move(simulated));
    platform::SetWirelessProvider(radio);
    return radio;
}
