// A provider whose answers a test sets directly, for what a scenario cannot
// express: failing calls and arbitrary interface names.
#pragma once

#include "platform/devices/WirelessProvider.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class FakeProvider final : public platform::WirelessProvider {
public:
    std::vector<std::string> interfaces;
    std::map<std::string, bool> wireless;
    std::map<std::string, bool> canScan;  // wireless ones not listed here can
    std::vector<platform::WirelessBss> networks;
    DWORD error = ERROR_SUCCESS;  // returned by every call when set
    std::vector<std::string> triggered;
    std::vector<std::vector<std::uint32_t>> limitedTo;  // the frequencies of each limited scan
    std::uint64_t endedScans = 0;
    DWORD countError = ERROR_NOT_SUPPORTED;  // CountEndedScans's answer when error is not set

    DWORD ListInterfaces(std::vector<std::string>& names) override
    {
        names = interfaces;
        return error;
    }
    DWORD IsWireless(const std::string& name, bool& result) override
    {
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
        const auto it = canScan.find(name);
        if (error != ERROR_SUCCESS || it == canScan.end())
            return IsWireless(name, result);
        result = it->second;
        return ERROR_SUCCESS;
    }
    DWORD TriggerScan(const std::string& name) override
    {
        triggered.push_back(name);
        return error;
    }
    DWORD TriggerScanOn(const std::string& name, std::span<const std::uint32_t> frequencies) override
    {
        limitedTo.emplace_back(frequencies.begin(), frequencies.end());
        return TriggerScan(name);
    }
    DWORD CountEndedScans(const std::string&, std::uint64_t& ended) override
    {
        if (error != ERROR_SUCCESS)
            return error;
        ended = endedScans;
        return countError;
    }
    DWORD ReadScan(const std::string&, std::vector<platform::WirelessBss>& result) override
    {
        result = networks;
        return error;
    }
};
