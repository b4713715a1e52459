// A provider whose answers a test sets directly, for what a scenario cannot
// express: failing calls and arbitrary interface names.
#pragma once

#include "platform/devices/WirelessProvider.h"

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
    DWORD ReadScan(const std::string&, std::vector<platform::WirelessBss>& result) override
    {
        result = networks;
        return error;
    }
};
