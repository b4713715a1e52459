// One way of having a scan started on an interface by someone who holds the
// privilege for it (NetworkManager, a small privileged helper). Such a way
// may take a while to answer, so it runs on the request chain's own thread,
// never on the window's.
#pragma once

#include "platform/Types.h"

#include <stop_token>
#include <string>

namespace platform::nl80211 {

class ScanRequester {
public:
    virtual ~ScanRequester() = default;

    // Asks for a scan on the named interface and waits for the answer.
    // ERROR_SUCCESS when a scan was started or one already runs; otherwise an
    // error code, with why set to one short sentence a person can act on. A
    // requester gives up early, with ERROR_CANCELLED, once stop is requested.
    virtual DWORD Request(const std::string& interfaceName, std::stop_token stop, std::string& why) = 0;
};

}  // namespace platform::nl80211
