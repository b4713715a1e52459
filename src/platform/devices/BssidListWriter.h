// Writes a provider's networks as the NDIS_802_11_BSSID_LIST reply the
// program reads from "UIO1:".
#pragma once

#include "platform/Types.h"
#include "platform/devices/WirelessProvider.h"

#include <cstddef>
#include <vector>

namespace platform {

// Writes NumberOfItems and then one NDIS_WLAN_BSSID_EX record per network
// (the fixed part, the beacon's fixed fields, the network's elements as heard,
// padded to a ULONG boundary), strongest signal first (equal signals keep the
// provider's order),
// as many whole records as fit into size bytes. NumberOfItems is the number
// of records written. Never writes past data + size. Returns ERROR_SUCCESS, or
// ERROR_INSUFFICIENT_BUFFER when not even NumberOfItems fits; written is the
// number of bytes written.
DWORD WriteBssidList(const std::vector<WirelessBss>& networks, BYTE* data, std::size_t size, std::size_t& written);

}  // namespace platform
