#include "platform/devices/nl80211/ScanRequestChain.h"

namespace platform::nl80211 {

ScanRequestChain::ScanRequestChain(std::vector<std::unique_ptr<ScanRequester>> ways,
                                   std::chrono::milliseconds requestTime)
    : m_ways(std::move(ways)), m_requestTime(requestTime), m_thread([this](std::stop_token stop) { Run(stop); })
{
}

ScanRequestChain::~ScanRequestChain()
{
    m_thread.request_stop();
    m_changed.notify_all();
    m_thread.join();
}

void ScanRequestChain::Start(const std::string& interfaceName, std::uint32_t frequencyMhz)
{
    {
        std::lock_guard guard(m_lock);
        Outcome& outcome = m_outcomes[interfaceName];
        if (outcome.pending)
            return;
        outcome.pending = true;
        m_queue.push_back({interfaceName, frequencyMhz, std::chrono::steady_clock::now() + m_requestTime});
    }
    m_changed.notify_all();
}

DWORD ScanRequestChain::WaitSettled(const std::string& interfaceName, std::string& why,
                                    std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock guard(m_lock);
    const auto settled = [&] { return !m_outcomes[interfaceName].pending; };
    if (deadline == std::chrono::steady_clock::time_point::max())
        m_changed.wait(guard, settled);
    else if (!m_changed.wait_until(guard, deadline, settled))
        return ERROR_TIMEOUT;
    const Outcome& outcome = m_outcomes[interfaceName];
    why = outcome.why;
    return outcome.result;
}

bool ScanRequestChain::Pending(const std::string& interfaceName)
{
    std::lock_guard guard(m_lock);
    const auto found = m_outcomes.find(interfaceName);
    return found != m_outcomes.end() && found->second.pending;
}

DWORD ScanRequestChain::LatestOutcome(const std::string& interfaceName)
{
    std::lock_guard guard(m_lock);
    const auto found = m_outcomes.find(interfaceName);
    return found == m_outcomes.end() || found->second.pending ? ERROR_SUCCESS : found->second.result;
}

void ScanRequestChain::Run(std::stop_token stop)
{
    std::unique_lock guard(m_lock);
    while (true) {
        if (!m_changed.wait(guard, stop, [this] { return !m_queue.empty(); }))
            break;
        const Queued request = m_queue.front();
        m_queue.pop_front();
        guard.unlock();
        Outcome outcome = Ask(request, stop);
        guard.lock();
        m_outcomes[request.interfaceName] = std::move(outcome);
        m_changed.notify_all();
    }
    // Whoever waits for a request that will not be asked any more learns so.
    for (auto& [name, outcome] : m_outcomes) {
        if (outcome.pending)
            outcome = {false, ERROR_CANCELLED, "the scan request was cancelled"};
    }
    m_changed.notify_all();
}

ScanRequestChain::Outcome ScanRequestChain::Ask(const Queued& request, std::stop_token stop)
{
    // A scan of one frequency asks the ways that can limit it first: a sweep
    // of every channel takes seconds where one channel takes a fraction.
    std::vector<ScanRequester*> order;
    for (const bool limiting : {true, false}) {
        for (const auto& way : m_ways) {
            if (request.frequencyMhz == 0 ? limiting : way->CanLimit() == limiting)
                order.push_back(way.get());
        }
    }
    Outcome outcome{false, ERROR_ACCESS_DENIED, "no way to start a scan is set up"};
    for (ScanRequester* way : order) {
        if (stop.stop_requested())
            return {false, ERROR_CANCELLED, "the scan request was cancelled"};
        std::string why;
        const DWORD result =
            request.frequencyMhz == 0
                ? way->Request(request.interfaceName, stop, why, request.deadline)
                : way->RequestOn(request.interfaceName, request.frequencyMhz, stop, why, request.deadline);
        if (result == ERROR_SUCCESS)
            return {false, ERROR_SUCCESS, {}};
        outcome.result = result == ERROR_PRIVILEGE_NOT_HELD ? ERROR_PRIVILEGE_NOT_HELD : ERROR_ACCESS_DENIED;
        outcome.why = std::move(why);
        // The ways after it would only find the time spent.
        if (std::chrono::steady_clock::now() >= request.deadline)
            break;
    }
    return outcome;
}

}  // namespace platform::nl80211
