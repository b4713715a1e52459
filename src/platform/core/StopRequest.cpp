#include "platform/core/StopRequest.h"

#include "platform/core/Dialog.h"

#include <algorithm>
#include <vector>

namespace platform::core {

namespace {

bool g_stopRequested = false;

std::vector<StopListener*>& Listeners()
{
    static std::vector<StopListener*> listeners;
    return listeners;
}

bool IsListening(const StopListener* listener)
{
    const auto& listeners = Listeners();
    return std::find(listeners.begin(), listeners.end(), listener) != listeners.end();
}

}  // namespace

StopListener::StopListener(std::function<void()> end) : m_end(std::move(end))
{
    Listeners().push_back(this);
}

StopListener::~StopListener()
{
    auto& listeners = Listeners();
    listeners.erase(std::remove(listeners.begin(), listeners.end(), this), listeners.end());
}

void RequestStop()
{
    if (g_stopRequested)
        return;
    g_stopRequested = true;
    RequestEndOfModalRuns();
    // The innermost loop first, as it is the one running. Ending one may let
    // another listener go: work on a copy and skip those gone meanwhile.
    const std::vector<StopListener*> listening(Listeners().rbegin(), Listeners().rend());
    for (StopListener* listener : listening)
        if (IsListening(listener) && listener->m_end)
            listener->m_end();
}

bool StopRequested()
{
    return g_stopRequested;
}

}  // namespace platform::core
