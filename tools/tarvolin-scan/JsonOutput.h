// Networks and watch events as JSON objects, one per line (JSON Lines).
#pragma once

#include "tools/tarvolin-scan/NetworkView.h"

#include <nlohmann/json.hpp>

#include <string>

nlohmann::ordered_json NetworkJson(const NetworkView& view);

// One object on one line, without the newline. Strings are already UTF-8;
// anything that is not is replaced rather than refused, so a line is always
// written.
std::string JsonLine(const nlohmann::ordered_json& object);
