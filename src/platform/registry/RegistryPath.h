// Where the registry file lives, and the name a broken file is moved to.
#pragma once

#include <ctime>
#include <string>

namespace platform {

// $XDG_CONFIG_HOME/tarvolin/registry.reg, or ~/.config/tarvolin/registry.reg
// when XDG_CONFIG_HOME is unset, empty or not absolute. Empty when neither it
// nor a home folder is known.
std::string RegistryFilePath();

// Another name for the file in that folder, set before the first registry
// call: tarvolin-demo keeps "registry-demo.reg", so its simulated adapter
// never takes the place of the user's own in the real program's settings.
void SetRegistryFileName(std::string name);

// The folder that holds the file (created on first write).
std::string RegistryFolder(const std::string& filePath);

// "<file>.broken-YYYYMMDD-HHMMSS" in local time; counter 1, 2, ... appends
// "-1", "-2" for when that name is taken.
std::string BrokenFileName(const std::string& filePath, std::time_t when, int counter);

}  // namespace platform
