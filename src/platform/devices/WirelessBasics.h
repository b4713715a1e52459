// How a MAC address is written and the clock a radio's times are on, shared
// by the providers and the command-line tools so that both say the same.
#pragma once

#include <time.h>

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace platform {

// "02:1a:2b:3c:4d:5e": lower-case hex, colons between the bytes.
inline std::string FormatMac(std::span<const std::uint8_t, 6> mac)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

// The CLOCK_BOOTTIME time now, in nanoseconds. The kernel stamps when it last
// heard a BSS on this clock, which goes on counting while the machine sleeps.
inline std::uint64_t BoottimeNowNs()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}

}  // namespace platform
