#include "platform/devices/nl80211/ScanEventMonitor.h"

#include "platform/devices/WirelessBasics.h"
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
#include <cerrno>
#include <span>

namespace platform::nl80211 {

namespace {

// Wake-ups in a row on which the socket gave nothing but errors before it is
// taken for ended.
constexpr int kMaxFailedWakeUps = 3;

}  // namespace

nl_sock* ScanEventMonitor::OpenSocket()
{
    nl_sock* socket = nl_socket_alloc();
    if (!socket)
        return nullptr;
    // Group messages carry no sequence numbers of ours.
    nl_socket_disable_seq_check(socket);
    const int group = genl_connect(socket) < 0 ? -1 : genl_ctrl_resolve_grp(socket, m_family.c_str(), m_group.c_str());
    if (group < 0 || nl_socket_add_membership(socket, group) < 0 || nl_socket_set_nonblocking(socket) < 0) {
        nl_socket_free(socket);
        return nullptr;
    }
    nl_socket_modify_cb(socket, NL_CB_VALID, NL_CB_CUSTOM, &ScanEventMonitor::OnMessage, this);
    return socket;
}

ScanEventMonitor::ScanEventMonitor() : ScanEventMonitor(NL80211_GENL_NAME, NL80211_MULTICAST_GROUP_SCAN)
{
}

ScanEventMonitor::ScanEventMonitor(std::string family, std::string group)
    : m_family(std::move(family)), m_group(std::move(group))
{
    nl_sock* socket = OpenSocket();
    if (!socket)
        return;
    const int stopEvent = eventfd(0, EFD_CLOEXEC);
    if (stopEvent < 0) {
        nl_socket_free(socket);
        return;
    }
    m_socket = socket;
    m_stopEvent = stopEvent;
    m_listening = true;
    m_thread = std::thread([this] { Listen(); });
}

ScanEventMonitor::~ScanEventMonitor()
{
    if (m_stopEvent < 0)
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_stopEvent, &one, sizeof one);
    m_thread.join();
    close(m_stopEvent);
    if (m_socket)
        nl_socket_free(m_socket);
}

void ScanEventMonitor::ForgetScans()
{
    std::lock_guard guard(m_lock);
    for (auto& [index, freshness] : m_interfaces)
        freshness.Forget();
    m_ownRequests.clear();
}

void ScanEventMonitor::Listen()
{
    // A socket that ends is opened afresh once; messages sent meanwhile are
    // lost, as on an overflow. When the new one ends too, listening stops.
    for (int opened = 1; !ListenOn(m_socket); ++opened) {
        nl_socket_free(m_socket);
        m_socket = opened == 1 ? OpenSocket() : nullptr;
        ForgetScans();
        if (!m_socket) {
            {
                std::lock_guard guard(m_lock);
                m_listening = false;
            }
            m_changed.notify_all();  // whoever waits for a scan learns now
            return;
        }
    }
}

bool ScanEventMonitor::ListenOn(nl_sock* socket)
{
    pollfd waits[2] = {{nl_socket_get_fd(socket), POLLIN, 0}, {m_stopEvent, POLLIN, 0}};
    int failedWakeUps = 0;
    while (true) {
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (waits[1].revents != 0)
            return true;
        // Hung up, or no longer a descriptor: nothing will come any more.
        // An error alone (POLLERR) may be an overflow, which the receive
        // below reports and which is survived.
        if ((waits[0].revents & (POLLHUP | POLLNVAL)) != 0)
            return false;
        // Every waiting message, one at a time, until the socket is empty.
        bool failed = false;
        while (true) {
            const int received = nl_recvmsgs_default(socket);
            if (received == -NLE_AGAIN)
                break;
            if (received >= 0) {
                failedWakeUps = 0;
                if (received == 0)
                    break;
                continue;
            }
            if (received == -NLE_NOMEM || received == -NLE_MSG_OVERFLOW) {
                // The socket overflowed and messages were lost: no scan is
                // known to run any more, so nobody waits on a lost end.
                ForgetScans();
                failedWakeUps = 0;
                continue;
            }
            failed = true;
            break;
        }
        // A socket that wakes the thread only to fail every time would keep
        // it busy for nothing.
        if (failed && ++failedWakeUps >= kMaxFailedWakeUps)
            return false;
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
    // Without the events, what a scan did not hear cannot be told apart.
    if (found == m_interfaces.end() || !m_listening)
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
        if (!m_listening)
            return true;  // no scan will be heard of any more
        verdict = m_interfaces[interfaceIndex].Judge(since, askedAtNs);
        return verdict != Verdict::Pending;
    });
    if (verdict == Verdict::Missed)
        since = m_interfaces[interfaceIndex].Snapshot();
    return verdict;
}

std::optional<std::uint64_t> ScanEventMonitor::WaitForEnded(unsigned interfaceIndex, std::uint64_t since,
                                                            std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock guard(m_lock);
    std::uint64_t ended = since;
    const bool moved = m_changed.wait_until(guard, deadline, [&] {
        if (!m_listening)
            return true;  // no scan will be heard of any more
        const Counts counts = m_interfaces[interfaceIndex].Snapshot();
        ended = counts.completed + counts.aborted;
        return ended != since;
    });
    if (!moved || !m_listening)
        return std::nullopt;
    return ended;
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
