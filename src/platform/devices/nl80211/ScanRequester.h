// One way of having a scan started on an interface by someone who holds the
// privilege for it (NetworkManager, a small privileged helper). Such a way
// may take a while to answer, so it runs on the request chain's own thread,
// never on the window's.
#pragma once

#include "platform/Types.h"

#include <chrono>
#include <cstdint>
#include <stop_token>
#include <string>

namespace platform::nl80211 {

class ScanRequester {
public:
    // When the whole request must have been answered: one time for every
    // step of it, so that steps do not each take their own full timeout.
    using Deadline = std::chrono::steady_clock::time_point;

    virtual ~ScanRequester() = default;

    // Asks for a scan on the named interface and waits for the answer.
    // ERROR_SUCCESS when a scan was started or one already runs; otherwise an
    // error code, with why set to one short sentence a person can act on. A
    // requester gives up early, with ERROR_CANCELLED, once stop is requested,
    // and with ERROR_TIMEOUT once the deadline passes.
    virtual DWORD Request(const std::string& interfaceName, std::stop_token stop, std::string& why,
                          Deadline deadline = Deadline::max()) = 0;

    // Whether this way can have a scan visit one frequency alone.
    virtual bool CanLimit() const { return false; }
    // The same for a scan of one frequency (MHz). A way that cannot limit a
    // scan asks for a sweep of every channel, which visits it too.
    virtual DWORD RequestOn(const std::string& interfaceName, std::uint32_t frequencyMhz, std::stop_token stop,
                            std::string& why, Deadline deadline = Deadline::max())
    {
        (void)frequencyMhz;
        return Request(interfaceName, stop, why, deadline);
    }
};

}  // namespace platform::nl80211
