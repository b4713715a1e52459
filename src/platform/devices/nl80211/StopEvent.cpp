#include "platform/devices/nl80211/StopEvent.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace platform::nl80211 {

StopEvent::StopEvent(std::stop_token stop) : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), m_stop(std::move(stop))
{
    if (m_stop.stop_possible())
        m_callback.emplace(m_stop, Wake{this});
}

StopEvent::~StopEvent()
{
    // The callback goes first: once it is gone, nothing writes to the fd.
    m_callback.reset();
    if (m_fd >= 0)
        close(m_fd);
}

void StopEvent::Signal()
{
    if (m_fd < 0)
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_fd, &one, sizeof one);
}

}  // namespace platform::nl80211
