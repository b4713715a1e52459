// Writes the information elements a network with given details would send,
// for the simulated radio: its name, the RSN or WPA element its security
// calls for, and the operation elements that give its channel width. The
// platform's element decoder reads them back to the same details.
#pragma once

#include "platform/devices/WirelessProvider.h"

#include <cstdint>
#include <vector>

namespace platform {

std::vector<std::uint8_t> WriteElements(const WirelessBss& bss);

}  // namespace platform
