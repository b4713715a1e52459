#include "platform/devices/nl80211/ScanEventMonitor.h"

#include "platform/devices/nl80211/ScanEvent.h"

#include <linux/nl80211.h>
#include <netlink/genl/ctrl.h>
#include <netlink/genl/genl.h>
#include <netlink/msg.h>
#include <netlink/netlink.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <span>

namespace platform::nl80211 {

std::uint64_t BoottimeNowNs()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}

ScanEventMonitor::ScanEventMonitor()
{
    nl_sock* socket = nl_socket_alloc();
    if (!socket)
        return;
    // Group messages carry no sequence numbers of ours.
    nl_socket_disable_seq_check(socket);
    const int group =
        genl_connect(socket) < 0 ? -1 : genl_ctrl_resolve_grp(socket, NL80211_GENL_NAME, NL80211_MULTICAST_GROUP_SCAN);
    const int stopEvent = group < 0 ? -1 : eventfd(0, EFD_CLOEXEC);
    if (group < 0 || stopEvent < 0 || nl_socket_add_membership(socket, group) < 0 ||
        nl_socket_set_nonblocking(socket) < 0) {
        if (stopEvent >= 0)
            close(stopEvent);
        nl_socket_free(socket);
        return;
    }
    nl_socket_modify_cb(socket, NL_CB_VALID, NL_CB_CUSTOM, &ScanEventMonitor::OnMessage, this);
    m_socket = socket;
    m_stopEvent = stopEvent;
    m_thread = std::thread([this] { Listen(); });
}

ScanEventMonitor::~ScanEventMonitor()
{
    if (!m_socket)
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_stopEvent, &one, sizeof one);
    m_thread.join();
    close(m_stopEvent);
    nl_socket_free(m_socket);
}

void ScanEventMonitor::Listen()
{
    pollfd waits[2] = {{nl_socket_get_fd(m_socket), POLLIN, 0}, {m_stopEvent, POLLIN, 0}};
    while (true) {
        if (poll(waits, 2, -1) < 0)
            continue;  // interrupted by a signal
        if (waits[1].revents != 0)
            return;
        // Every waiting message, one at a time, until the socket is empty.
        while (true) {
            const int received = nl_recvmsgs_default(m_socket);
            if (received == -NLE_AGAIN || received == 0)
                break;
            if (received == -NLE_NOMEM || received == -NLE_MSG_OVERFLOW) {
                // The socket overflowed and messages were lost: no scan is
                // known to run any more, so nobody waits on a lost end.
                std::lock_guard guard(m_lock);
                for (auto& [index, freshness] : m_interfaces)
                    freshness.Forget();
                m_ownRequests.clear();
                continue;
            }
            if (received < 0)
                break;
        }
    }
}

int ScanEventMonitor::OnMessage(nl_msg* message, void* context)
{
    const nlmsghdr* header = nlmsg_hdr(message);
    if (header->nlmsg_len < NLMSG_HDRLEN + GENL_HDRLEN)
        return NL_SKIP;
    auto* generic = static_cast<genlmsghdr*>(nlmsg_data(header));
    static_cast<ScanEventMonitor*>(context)->Handle(
        generic->cmd, reinterpret_cast<const std::uint8_t*>(genlmsg_attrdata(generic, 0)), genlmsg_attrlen(generic, 0));
    return NL_OK;
}

void ScanEventMonitor::Handle(std::uint8_t command, const std::uint8_t* attributes, int length)
{
    // Stamped before anything else: the scan began before this moment.
    const std::uint64_t received = BoottimeNowNs();
    if (length < 0)
        return;
    const auto event = DecodeScanEvent(command, std::span(attributes, static_cast<std::size_t>(length)));
    if (!event)
        return;
    {
        std::lock_guard guard(m_lock);
        ScanFreshness& freshness = m_interfaces[event->interfaceIndex];
        switch (event->kind) {
        case ScanEvent::Kind::Started: {
            std::uint64_t start = received;
            if (const auto own = m_ownRequests.find(event->interfaceIndex); own != m_ownRequests.end()) {
                start = std::min(start, own->second.since);
                m_ownRequests.erase(own);
            }
            freshness.Started(start);
            break;
        }
        case ScanEvent::Kind::Completed: freshness.Completed(event->frequencies); break;
        case ScanEvent::Kind::Aborted: freshness.Aborted(); break;
        }
    }
    m_changed.notify_all();
}

void ScanEventMonitor::Filter(unsigned interfaceIndex, std::vector<WirelessBss>& networks)
{
    std::lock_guard guard(m_lock);
    const auto found = m_interfaces.find(interfaceIndex);
    if (found == m_interfaces.end())
        return;
    const ScanFreshness& freshness = found->second;
    std::erase_if(networks, [&freshness](const WirelessBss& bss) { return !freshness.IsCurrent(bss); });
}

bool ScanEventMonitor::Running(unsigned interfaceIndex)
{
    std::lock_guard guard(m_lock);
    const auto found = m_interfaces.find(interfaceIndex);
    return found != m_interfaces.end() && found->second.Running();
}

ScanEventMonitor::Counts ScanEventMonitor::Snapshot(unsigned interfaceIndex)
{
    std::lock_guard guard(m_lock);
    return m_interfaces[interfaceIndex].Snapshot();
}

ScanFreshness::Verdict ScanEventMonitor::WaitForScan(unsigned interfaceIndex, Counts& since,
                                                     std::chrono::steady_clock::time_point deadline,
                                                     std::uint64_t askedAtNs)
{
    using Verdict = ScanFreshness::Verdict;
    if (!Listening())
        return Verdict::Pending;
    std::unique_lock guard(m_lock);
    Verdict verdict = Verdict::Pending;
    m_changed.wait_until(guard, deadline, [&] {
        verdict = m_interfaces[interfaceIndex].Judge(since, askedAtNs);
        return verdict != Verdict::Pending;
    });
    if (verdict == Verdict::Missed)
        since = m_interfaces[interfaceIndex].Snapshot();
    return verdict;
}

void ScanEventMonitor::OwnRequestStarting(unsigned interfaceIndex, std::uint64_t nowNs)
{
    std::lock_guard guard(m_lock);
    m_ownRequests[interfaceIndex] = {nowNs, false};
}

void ScanEventMonitor::OwnRequestEnded(unsigned interfaceIndex, bool started)
{
    std::lock_guard guard(m_lock);
    const auto own = m_ownRequests.find(interfaceIndex);
    if (own == m_ownRequests.end())
        return;  // its start message was read while the request ran
    if (started)
        own->second.started = true;  // its start message is still to come
    else
        m_ownRequests.erase(own);
}

}  // namespace platform::nl80211
