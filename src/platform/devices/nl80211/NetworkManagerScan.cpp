#include "platform/devices/nl80211/NetworkManagerScan.h"

#include "platform/devices/nl80211/StopEvent.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QString>
#include <QVariantMap>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <memory>

namespace platform::nl80211 {

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kWirelessInterface = QStringLiteral("org.freedesktop.NetworkManager.Device.Wireless");

std::atomic<unsigned> g_connections{0};

// An eventfd that a reply makes readable. Shared with the watcher's slot,
// which may run after the wait for it has given up.
class ReplyEvent {
public:
    ReplyEvent() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) { }
    ~ReplyEvent()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    ReplyEvent(const ReplyEvent&) = delete;
    ReplyEvent& operator=(const ReplyEvent&) = delete;
    int Fd() const { return m_fd; }
    void Signal() const
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(m_fd, &one, sizeof one);
    }

private:
    int m_fd;
};

// Waits, on the calling thread, until the pending call is answered or the
// stop request comes: both wake a poll() on their eventfds. The watcher
// lives on the connection's own thread, where Qt D-Bus handles replies and
// which runs an event loop in every program, with or without a
// QCoreApplication; its signal reaches the reply event straight from there.
// Returns false when stopped first.
bool AwaitReply(const QDBusConnection& bus, const QDBusPendingCall& pending, const StopEvent& stop)
{
    QDBusConnectionInterface* busObject = bus.interface();
    const auto replied = std::make_shared<ReplyEvent>();
    if (!busObject || replied->Fd() < 0 || stop.Fd() < 0) {
        // Nothing to wait on together with the stop request; the call ends
        // by its own timeout at the latest.
        if (stop.Requested())
            return false;
        QDBusPendingCall(pending).waitForFinished();
        return true;
    }
    auto* watcher = new QDBusPendingCallWatcher(pending);
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, watcher, [replied] { replied->Signal(); }, Qt::DirectConnection);
    watcher->moveToThread(busObject->thread());
    bool answered = true;
    pollfd waits[2] = {{replied->Fd(), POLLIN, 0}, {stop.Fd(), POLLIN, 0}};
    // A reply that came before the watcher was set up wakes nobody.
    while (!pending.isFinished()) {
        if (poll(waits, 2, -1) < 0 && errno != EINTR)
            break;
        if (waits[1].revents != 0) {
            answered = pending.isFinished();
            break;
        }
        if (waits[0].revents != 0)
            break;
    }
    watcher->deleteLater();  // on its own thread, which may be delivering to it
    return answered;
}

// The reply to a call, or a message of type Invalid when the wait was
// stopped. The bus itself ends the call with an error after the timeout,
// which is cut short to end by the deadline.
QDBusMessage Call(const QDBusConnection& bus, QDBusMessage message, int timeoutMs, const StopEvent& stop,
                  ScanRequester::Deadline deadline)
{
    if (stop.Requested())
        return {};
    if (deadline != ScanRequester::Deadline::max()) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return QDBusMessage::createError(QDBusError::Timeout, QStringLiteral("the request ran out of time"));
        timeoutMs = static_cast<int>(std::min<long long>({left, timeoutMs, INT_MAX}));
    }
    // A machine where NetworkManager is installed but switched off keeps it so.
    message.setAutoStartService(false);
    const QDBusPendingCall pending = bus.asyncCall(message, timeoutMs);
    if (!AwaitReply(bus, pending, stop))
        return {};
    return pending.reply();
}

// One sentence for a failed call.
std::string Why(const QDBusMessage& reply)
{
    const QString name = reply.errorName();
    if (name == QDBusError::errorString(QDBusError::ServiceUnknown) ||
        name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return "NetworkManager is not running";
    if (name == QDBusError::errorString(QDBusError::NoReply) || name == QDBusError::errorString(QDBusError::Timeout))
        return "NetworkManager did not answer";
    return "NetworkManager refused: " + reply.errorMessage().toStdString();
}

DWORD Failure(const QDBusMessage& reply)
{
    const QString name = reply.errorName();
    if (name == QDBusError::errorString(QDBusError::NoReply) || name == QDBusError::errorString(QDBusError::Timeout))
        return ERROR_TIMEOUT;
    return ERROR_ACCESS_DENIED;
}

}  // namespace

NetworkManagerScan::NetworkManagerScan(std::string busAddress, int callTimeoutMs)
    : m_busAddress(std::move(busAddress)), m_callTimeoutMs(callTimeoutMs),
      m_connectionName("tarvolin-networkmanager-" + std::to_string(++g_connections))
{
}

NetworkManagerScan::~NetworkManagerScan()
{
    if (m_connected)
        QDBusConnection::disconnectFromBus(QString::fromStdString(m_connectionName));
}

DWORD NetworkManagerScan::Request(const std::string& interfaceName, std::stop_token stop, std::string& why,
                                  Deadline deadline)
{
    const StopEvent stopEvent(stop);
    const QString connectionName = QString::fromStdString(m_connectionName);
    QDBusConnection bus = m_busAddress.empty()
                              ? QDBusConnection::connectToBus(QDBusConnection::SystemBus, connectionName)
                              : QDBusConnection::connectToBus(QString::fromStdString(m_busAddress), connectionName);
    m_connected = true;
    if (!bus.isConnected()) {
        // A failed connection stays registered under its name; drop it so
        // the next request tries afresh (the bus may have come up since).
        QDBusConnection::disconnectFromBus(connectionName);
        m_connected = false;
        why = "there is no system bus to reach NetworkManager";
        return ERROR_ACCESS_DENIED;
    }

    QDBusMessage lookup =
        QDBusMessage::createMethodCall(kService, kManagerPath, kManagerInterface, QStringLiteral("GetDeviceByIpIface"));
    lookup << QString::fromStdString(interfaceName);
    const QDBusMessage device = Call(bus, lookup, m_callTimeoutMs, stopEvent, deadline);
    if (device.type() == QDBusMessage::InvalidMessage)
        return ERROR_CANCELLED;
    if (device.type() != QDBusMessage::ReplyMessage) {
        why = Why(device);
        return Failure(device);
    }
    const QDBusObjectPath devicePath =
        device.arguments().isEmpty() ? QDBusObjectPath() : device.arguments().constFirst().value<QDBusObjectPath>();
    if (devicePath.path().isEmpty()) {
        why = "NetworkManager gave no device for " + interfaceName;
        return ERROR_ACCESS_DENIED;
    }

    QDBusMessage scan =
        QDBusMessage::createMethodCall(kService, devicePath.path(), kWirelessInterface, QStringLiteral("RequestScan"));
    scan << QVariantMap{};
    const QDBusMessage reply = Call(bus, scan, m_callTimeoutMs, stopEvent, deadline);
    if (reply.type() == QDBusMessage::InvalidMessage)
        return ERROR_CANCELLED;
    if (reply.type() != QDBusMessage::ReplyMessage) {
        why = Why(reply);
        return Failure(reply);
    }
    return ERROR_SUCCESS;
}

}  // namespace platform::nl80211
