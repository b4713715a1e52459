#include "platform/devices/nl80211/Nl80211Provider.h"

#include "platform/devices/WirelessBasics.h"
#include "platform/devices/nl80211/BssDecoder.h"
#include "platform/devices/nl80211/NetworkManagerScan.h"
#include "platform/devices/nl80211/ScanEventMonitor.h"
#include "platform/devices/nl80211/TriggerHelperScan.h"

#include <linux/nl80211.h>
#include <net/if.h>
#include <netlink/genl/ctrl.h>
#include <netlink/genl/genl.h>
#include <netlink/msg.h>
#include <netlink/netlink.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

namespace platform::nl80211 {

namespace {

// The scan list may change while it is dumped; the kernel then marks the dump
// as interrupted and it is read again.
constexpr int kDumpAttempts = 3;

// What the callbacks of one request collect.
struct Exchange {
    const std::function<void(std::span<const std::uint8_t>)>* handler = nullptr;
    int error = 0;
    bool done = false;
};

int OnValid(nl_msg* message, void* context)
{
    auto* exchange = static_cast<Exchange*>(context);
    auto* header = static_cast<genlmsghdr*>(nlmsg_data(nlmsg_hdr(message)));
    const auto* attributes = reinterpret_cast<const std::uint8_t*>(genlmsg_attrdata(header, 0));
    const int length = genlmsg_attrlen(header, 0);
    if (length >= 0 && exchange->handler && *exchange->handler)
        (*exchange->handler)(std::span<const std::uint8_t>(attributes, static_cast<std::size_t>(length)));
    return NL_OK;
}

// A dump that fails (an interface without wireless, say) ends with a done
// message that carries the negative errno; libnl does not look at it.
int OnFinish(nl_msg* message, void* context)
{
    auto* exchange = static_cast<Exchange*>(context);
    const nlmsghdr* header = nlmsg_hdr(message);
    if (header->nlmsg_len >= NLMSG_HDRLEN + sizeof(int)) {
        int error = 0;
        std::memcpy(&error, nlmsg_data(header), sizeof error);
        if (error < 0)
            exchange->error = error;
    }
    exchange->done = true;
    return NL_STOP;
}

int OnAck(nl_msg*, void* context)
{
    static_cast<Exchange*>(context)->done = true;
    return NL_STOP;
}

int OnError(sockaddr_nl*, nlmsgerr* error, void* context)
{
    auto* exchange = static_cast<Exchange*>(context);
    exchange->error = error->error < 0 ? error->error : -EIO;
    exchange->done = true;
    return NL_STOP;
}

// The interface index for a name, or 0 for an unknown (or impossible) name.
unsigned InterfaceIndex(const std::string& name)
{
    // A name with a zero byte inside would be cut short by the C call and
    // could name another interface.
    if (name.empty() || name.size() >= IF_NAMESIZE || name.find('\0') != std::string::npos)
        return 0;
    return if_nametoindex(name.c_str());
}

// The scan request names the wildcard SSID (one SSID of length 0), as
// `iw dev X scan` does: the radio then sends probe requests on the channels
// that allow it and access points answer at once, instead of listening for a
// whole beacon interval on each channel.
int AddWildcardSsid(nl_msg* message)
{
    nlattr* ssids = nla_nest_start(message, NL80211_ATTR_SCAN_SSIDS);
    if (!ssids || nla_put(message, 1, 0, "") < 0)
        return -ENOMEM;
    nla_nest_end(message, ssids);
    return 0;
}

// A scan limited to some frequencies names them; without the attribute the
// kernel visits every channel the radio may use.
int AddFrequencies(nl_msg* message, std::span<const std::uint32_t> frequencies)
{
    if (frequencies.empty())
        return 0;
    nlattr* list = nla_nest_start(message, NL80211_ATTR_SCAN_FREQUENCIES);
    if (!list)
        return -ENOMEM;
    int position = 1;
    for (const std::uint32_t frequency : frequencies) {
        if (nla_put_u32(message, position++, frequency) < 0)
            return -ENOMEM;
    }
    nla_nest_end(message, list);
    return 0;
}

std::vector<std::unique_ptr<ScanRequester>> DefaultUnprivilegedWays()
{
    std::vector<std::unique_ptr<ScanRequester>> ways;
    ways.push_back(std::make_unique<NetworkManagerScan>());
    ways.push_back(std::make_unique<TriggerHelperScan>(TriggerHelper::LocateForThisProgram()));
    return ways;
}

struct MessageDeleter {
    void operator()(nl_msg* message) const { nlmsg_free(message); }
};
struct CallbackDeleter {
    void operator()(nl_cb* callbacks) const { nl_cb_put(callbacks); }
};

}  // namespace

DWORD ErrnoToWin32(int error)
{
    switch (error < 0 ? -error : error) {
    case 0: return ERROR_SUCCESS;
    case EPERM:
    case EACCES: return ERROR_ACCESS_DENIED;
    // The interface exists (it was found by name) but nl80211 has no
    // wireless device behind it.
    case ENODEV:
    case EOPNOTSUPP: return ERROR_NOT_SUPPORTED;
    case ENETDOWN: return ERROR_NOT_READY;
    case EBUSY: return ERROR_BUSY;
    case ENOMEM:
    case ENOBUFS: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    default: return ERROR_GEN_FAILURE;
    }
}

Nl80211Provider::Nl80211Provider() : Nl80211Provider(DefaultUnprivilegedWays())
{
}

Nl80211Provider::Nl80211Provider(std::vector<std::unique_ptr<ScanRequester>> unprivilegedWays)
    : m_unprivileged(std::move(unprivilegedWays))
{
}

Nl80211Provider::~Nl80211Provider()
{
    Disconnect();
}

DWORD Nl80211Provider::Connect()
{
    if (m_socket)
        return ERROR_SUCCESS;
    nl_sock* socket = nl_socket_alloc();
    if (!socket)
        return ERROR_NOT_ENOUGH_MEMORY;
    if (genl_connect(socket) < 0) {
        nl_socket_free(socket);
        return ERROR_GEN_FAILURE;
    }
    // Scan results carry whole beacons: let libnl size each read to the
    // message waiting instead of cutting it at one page.
    nl_socket_enable_msg_peek(socket);
    const int family = genl_ctrl_resolve(socket, NL80211_GENL_NAME);
    if (family < 0) {
        nl_socket_free(socket);
        return ERROR_NOT_SUPPORTED;
    }
    m_socket = socket;
    m_family = family;
    if (!m_events)
        m_events = std::make_unique<ScanEventMonitor>();
    return ERROR_SUCCESS;
}

void Nl80211Provider::Disconnect()
{
    if (m_socket)
        nl_socket_free(m_socket);
    m_socket = nullptr;
    m_family = -1;
}

int Nl80211Provider::Transact(std::uint8_t command, bool dump, unsigned interfaceIndex, const MessageHandler& handler,
                              const MessageFiller& filler)
{
    std::unique_ptr<nl_msg, MessageDeleter> message(nlmsg_alloc());
    std::unique_ptr<nl_cb, CallbackDeleter> callbacks(nl_cb_alloc(NL_CB_DEFAULT));
    if (!message || !callbacks)
        return -ENOMEM;
    if (!genlmsg_put(message.get(), NL_AUTO_PORT, NL_AUTO_SEQ, m_family, 0, dump ? NLM_F_DUMP : 0, command, 0) ||
        nla_put_u32(message.get(), NL80211_ATTR_IFINDEX, interfaceIndex) < 0 || (filler && filler(message.get()) < 0))
        return -ENOMEM;

    Exchange exchange;
    exchange.handler = &handler;
    nl_cb_set(callbacks.get(), NL_CB_VALID, NL_CB_CUSTOM, OnValid, &exchange);
    nl_cb_set(callbacks.get(), NL_CB_FINISH, NL_CB_CUSTOM, OnFinish, &exchange);
    nl_cb_set(callbacks.get(), NL_CB_ACK, NL_CB_CUSTOM, OnAck, &exchange);
    nl_cb_err(callbacks.get(), NL_CB_CUSTOM, OnError, &exchange);

    if (nl_send_auto(m_socket, message.get()) < 0) {
        // The socket is no longer usable; the next request opens a new one.
        Disconnect();
        return -EIO;
    }
    // An interrupted dump is read to its end all the same, so that no stale
    // reply is left on the socket for the next request.
    bool interrupted = false;
    while (!exchange.done) {
        const int received = nl_recvmsgs(m_socket, callbacks.get());
        if (exchange.error != 0)
            return exchange.error;
        if (received == -NLE_DUMP_INTR) {
            interrupted = true;
        } else if (received < 0) {
            Disconnect();
            return -EIO;
        }
    }
    return interrupted ? -EAGAIN : 0;
}

DWORD Nl80211Provider::ListInterfaces(std::vector<std::string>& names)
{
    struct if_nameindex* list = if_nameindex();
    if (!list)
        return errno == ENOMEM || errno == ENOBUFS ? ERROR_NOT_ENOUGH_MEMORY : ERROR_GEN_FAILURE;
    names.clear();
    for (const struct if_nameindex* entry = list; entry->if_index != 0 && entry->if_name; ++entry)
        names.emplace_back(entry->if_name);
    if_freenameindex(list);
    return ERROR_SUCCESS;
}

DWORD Nl80211Provider::IsWireless(const std::string& name, bool& wireless)
{
    std::uint32_t type = NL80211_IFTYPE_UNSPECIFIED;
    return QueryInterface(name, wireless, type);
}

DWORD Nl80211Provider::CanScan(const std::string& name, bool& canScan)
{
    bool wireless = false;
    std::uint32_t type = NL80211_IFTYPE_UNSPECIFIED;
    const DWORD error = QueryInterface(name, wireless, type);
    if (error == ERROR_SUCCESS)
        canScan = wireless && (type == NL80211_IFTYPE_STATION || type == NL80211_IFTYPE_ADHOC);
    return error;
}

template <typename Operation> DWORD Nl80211Provider::WithSocket(Operation&& operation)
{
    std::lock_guard guard(m_lock);
    if (const DWORD connected = Connect(); connected != ERROR_SUCCESS)
        return connected;
    return operation();
}

template <typename Operation> DWORD Nl80211Provider::OnInterface(const std::string& name, Operation&& operation)
{
    const unsigned index = InterfaceIndex(name);
    if (index == 0)
        return ERROR_FILE_NOT_FOUND;
    return WithSocket([&operation, index] { return operation(index); });
}

DWORD Nl80211Provider::QueryInterface(const std::string& name, bool& wireless, std::uint32_t& type)
{
    const DWORD error = OnInterface(name, [this, &wireless, &type](unsigned index) {
        std::uint32_t reported = NL80211_IFTYPE_UNSPECIFIED;
        const MessageHandler readType = [&reported](std::span<const std::uint8_t> attributes) {
            if (const auto split = SplitAttributes(attributes))
                for (const Attribute& attribute : *split)
                    if (attribute.type == NL80211_ATTR_IFTYPE && attribute.payload.size() == sizeof reported)
                        std::memcpy(&reported, attribute.payload.data(), sizeof reported);
        };
        const int result = Transact(NL80211_CMD_GET_INTERFACE, false, index, readType);
        if (result == -ENODEV || result == -EOPNOTSUPP || result == -EINVAL) {
            wireless = false;
            return ERROR_SUCCESS;
        }
        if (result != 0)
            return ErrnoToWin32(result);
        wireless = true;
        type = reported;
        return ERROR_SUCCESS;
    });
    // No nl80211 in this kernel (what Connect says; the kernel's answers
    // that would map to it are taken above): nothing here is wireless.
    if (error == ERROR_NOT_SUPPORTED) {
        wireless = false;
        return ERROR_SUCCESS;
    }
    return error;
}

DWORD Nl80211Provider::TriggerScan(const std::string& name)
{
    return TriggerScanOn(name, {});
}

DWORD Nl80211Provider::TriggerScanOn(const std::string& name, std::span<const std::uint32_t> frequencies)
{
    return OnInterface(name, [this, &name, frequencies](unsigned index) {
        Request& request = m_requests[name];
        request = {m_events->Snapshot(index), false, BoottimeNowNs(), {frequencies.begin(), frequencies.end()}};
        // The answer to a request down the chain comes later; the caller
        // learns how the previous one ended, so a window can tell that scans
        // cannot be started one tick later, while every tick asks again
        // (NetworkManager may have come up meanwhile).
        const DWORD previous = m_unprivileged.LatestOutcome(name);
        const DWORD asked = Ask(name, index, request);
        if (asked != ERROR_SUCCESS || !request.viaChain)
            return asked;
        if (previous == ERROR_SUCCESS || previous == ERROR_CANCELLED)
            return ERROR_SUCCESS;
        return previous == ERROR_PRIVILEGE_NOT_HELD ? ERROR_PRIVILEGE_NOT_HELD : ERROR_ACCESS_DENIED;
    });
}

DWORD Nl80211Provider::Ask(const std::string& name, unsigned interfaceIndex, Request& request)
{
    request.viaChain = false;
    m_events->OwnRequestStarting(interfaceIndex, BoottimeNowNs());
    const std::span<const std::uint32_t> frequencies = request.frequencies;
    const int result = Transact(NL80211_CMD_TRIGGER_SCAN, false, interfaceIndex, {}, [frequencies](nl_msg* message) {
        const int added = AddWildcardSsid(message);
        return added < 0 ? added : AddFrequencies(message, frequencies);
    });
    m_events->OwnRequestEnded(interfaceIndex, result == 0);
    // A scan already under way serves as well: the next read-out comes from
    // it once it completes.
    if (result == 0 || result == -EBUSY)
        return ERROR_SUCCESS;
    if (result != -EPERM && result != -EACCES)
        return ErrnoToWin32(result);
    // Without the privilege, someone who has it is asked, off this thread.
    // While a scan runs (whoever started it) there is nothing to ask for.
    if (m_events->Running(interfaceIndex))
        return ERROR_SUCCESS;
    // Only one frequency goes down the chain (the helper takes one); a
    // longer list is a sweep of every channel there.
    m_unprivileged.Start(name, request.frequencies.size() == 1 ? request.frequencies.front() : 0);
    request.viaChain = true;
    return ERROR_SUCCESS;
}

DWORD Nl80211Provider::AskAgain(const std::string& name, unsigned interfaceIndex, Request& request)
{
    return WithSocket([&] { return Ask(name, interfaceIndex, request); });
}

DWORD Nl80211Provider::WaitForScan(const std::string& name, unsigned timeoutMs, std::string& why)
{
    // One deadline for everything below: the answer of NetworkManager or
    // the helper, the scan, and any request made again.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    unsigned index = 0;
    Request request;
    const DWORD reached = OnInterface(name, [this, &name, &index, &request](unsigned reachedIndex) {
        index = reachedIndex;
        const auto found = m_requests.find(name);
        // Without a request of ours, whatever scan ends next serves.
        request = found != m_requests.end() ? found->second : Request{m_events->Snapshot(index), false, 0, {}};
        return ERROR_SUCCESS;
    });
    if (reached != ERROR_SUCCESS)
        return reached;
    if (!m_events->Listening()) {
        // Without scan events the best there is: the time the caller allows.
        std::this_thread::sleep_until(deadline);
        return ERROR_SUCCESS;
    }
    using Verdict = ScanFreshness::Verdict;
    while (true) {
        if (request.viaChain) {
            if (const DWORD asked = m_unprivileged.WaitSettled(name, why, deadline); asked != ERROR_SUCCESS)
                return asked;
        }
        // Only a scan seen to begin after the request serves: one already
        // running then (another reader's, say, while the kernel answered
        // busy) may have passed the channel of a network before it went
        // away, and what the kernel holds from it may be 30 s old. Once such
        // scans have ended without one that serves, ask again.
        switch (m_events->WaitForScan(index, request.before, deadline, request.askedAtNs)) {
        case Verdict::Completed: return ERROR_SUCCESS;
        case Verdict::Aborted: return ERROR_OPERATION_ABORTED;
        case Verdict::Pending: return ERROR_TIMEOUT;
        case Verdict::Missed: break;
        }
        if (const DWORD asked = AskAgain(name, index, request); asked != ERROR_SUCCESS)
            return asked;
    }
}

DWORD Nl80211Provider::CountEndedScans(const std::string& name, std::uint64_t& ended)
{
    return OnInterface(name, [this, &ended](unsigned index) {
        // Without the scan events nobody can tell when a scan ends.
        if (!m_events->Listening())
            return ERROR_NOT_SUPPORTED;
        const ScanEventMonitor::Counts counts = m_events->Snapshot(index);
        ended = counts.completed + counts.aborted;
        return ERROR_SUCCESS;
    });
}

DWORD Nl80211Provider::WaitForEndedScan(const std::string& name, std::uint64_t since, unsigned timeoutMs,
                                        std::uint64_t& ended)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    unsigned index = 0;
    const DWORD reached = OnInterface(name, [this, &index](unsigned reachedIndex) {
        index = reachedIndex;
        return m_events->Listening() ? ERROR_SUCCESS : ERROR_NOT_SUPPORTED;
    });
    if (reached != ERROR_SUCCESS)
        return reached;
    // The scan events wake the wait as a scan ends; m_lock is not held
    // meanwhile, so that reading and asking for scans go on.
    if (const auto count = m_events->WaitForEnded(index, since, deadline)) {
        ended = *count;
        return ERROR_SUCCESS;
    }
    return m_events->Listening() ? ERROR_TIMEOUT : ERROR_NOT_SUPPORTED;
}

DWORD Nl80211Provider::ReadScan(const std::string& name, std::vector<WirelessBss>& networks)
{
    return OnInterface(name, [this, &networks](unsigned index) {
        std::vector<WirelessBss> found;
        std::uint64_t readAt = 0;
        const MessageHandler collect = [&found, &readAt](std::span<const std::uint8_t> attributes) {
            if (auto bss = DecodeScanResult(attributes, readAt))
                found.push_back(std::move(*bss));
        };
        int result = -EAGAIN;
        for (int attempt = 0; attempt < kDumpAttempts && result == -EAGAIN; ++attempt) {
            found.clear();
            readAt = BoottimeNowNs();
            result = Transact(NL80211_CMD_GET_SCAN, true, index, collect);
        }
        if (result == -EAGAIN)
            return ERROR_BUSY;
        if (result != 0)
            return ErrnoToWin32(result);
        m_events->Filter(index, found);
        networks = std::move(found);
        return ERROR_SUCCESS;
    });
}

}  // namespace platform::nl80211

namespace platform {

std::shared_ptr<WirelessProvider> MakeNl80211Provider()
{
    return std::make_shared<nl80211::Nl80211Provider>();
}

}  // namespace platform
