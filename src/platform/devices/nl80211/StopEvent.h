// A stop request as a file descriptor: an eventfd that becomes readable once
// the stop token is triggered, so that a thread waiting in poll() on a child
// process, a socket or a bus reply wakes for the stop as well, instead of
// looking at the token every few milliseconds.
#pragma once

#include <optional>
#include <stop_token>

namespace platform::nl80211 {

class StopEvent {
public:
    // A token that can never be stopped gives an event that never fires.
    explicit StopEvent(std::stop_token stop);
    ~StopEvent();
    StopEvent(const StopEvent&) = delete;
    StopEvent& operator=(const StopEvent&) = delete;

    // Readable (POLLIN) once stop is requested; -1 when no eventfd could be
    // had, in which case Requested() is all there is.
    int Fd() const { return m_fd; }
    bool Requested() const { return m_stop.stop_requested(); }

private:
    void Signal();

    int m_fd = -1;
    std::stop_token m_stop;
    // Last: it may call Signal at once, which needs the descriptor.
    struct Wake {
        StopEvent* event;
        void operator()() const { event->Signal(); }
    };
    std::optional<std::stop_callback<Wake>> m_callback;
};

}  // namespace platform::nl80211
