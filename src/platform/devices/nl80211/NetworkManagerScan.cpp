#include "platform/devices/nl80211/NetworkManagerScan.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QString>
#include <QVariantMap>

#include <atomic>
#include <chrono>
#include <thread>

namespace platform::nl80211 {

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kWirelessInterface = QStringLiteral("org.freedesktop.NetworkManager.Device.Wireless");

// How often a waiting call looks whether it was answered or cancelled. Qt
// offers no wait that a stop request can cut short.
constexpr auto kPollInterval = std::chrono::milliseconds(20);

std::atomic<unsigned> g_connections{0};

// The reply to a call, or a message of type Invalid when the wait was
// cancelled. The bus itself ends the call with an error after the timeout.
QDBusMessage Call(const QDBusConnection& bus, QDBusMessage message, int timeoutMs, std::stop_token stop)
{
    // A machine where NetworkManager is installed but switched off keeps it so.
    message.setAutoStartService(false);
    const QDBusPendingCall pending = bus.asyncCall(message, timeoutMs);
    while (!pending.isFinished()) {
        if (stop.stop_requested())
            return {};
        std::this_thread::sleep_for(kPollInterval);
    }
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

DWORD NetworkManagerScan::Request(const std::string& interfaceName, std::stop_token stop, std::string& why)
{
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
    const QDBusMessage device = Call(bus, lookup, m_callTimeoutMs, stop);
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
    const QDBusMessage reply = Call(bus, scan, m_callTimeoutMs, stop);
    if (reply.type() == QDBusMessage::InvalidMessage)
        return ERROR_CANCELLED;
    if (reply.type() != QDBusMessage::ReplyMessage) {
        why = Why(reply);
        return Failure(reply);
    }
    return ERROR_SUCCESS;
}

}  // namespace platform::nl80211
