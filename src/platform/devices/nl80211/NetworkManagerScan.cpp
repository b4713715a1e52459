#include "platform/devices/nl80211/NetworkManagerScan.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QString>
#include <QVariantMap>

namespace platform::nl80211 {

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kWirelessInterface = QStringLiteral("org.freedesktop.NetworkManager.Device.Wireless");

// A scan tick must not hang on a busy or stuck daemon.
constexpr int kCallTimeoutMs = 2000;

}  // namespace

DWORD RequestNetworkManagerScan(const std::string& interfaceName) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected() || !bus.interface())
        return ERROR_ACCESS_DENIED;
    const auto registered = bus.interface()->isServiceRegistered(kService);
    if (!registered.isValid() || !registered.value())
        return ERROR_ACCESS_DENIED;

    QDBusMessage lookup =
        QDBusMessage::createMethodCall(kService, kManagerPath, kManagerInterface, QStringLiteral("GetDeviceByIpIface"));
    lookup << QString::fromStdString(interfaceName);
    const QDBusMessage device = bus.call(lookup, QDBus::Block, kCallTimeoutMs);
    if (device.type() != QDBusMessage::ReplyMessage || device.arguments().isEmpty())
        return ERROR_ACCESS_DENIED;
    const auto devicePath = device.arguments().constFirst().value<QDBusObjectPath>();
    if (devicePath.path().isEmpty())
        return ERROR_ACCESS_DENIED;

    QDBusMessage scan =
        QDBusMessage::createMethodCall(kService, devicePath.path(), kWirelessInterface, QStringLiteral("RequestScan"));
    scan << QVariantMap{};
    const QDBusMessage reply = bus.call(scan, QDBus::Block, kCallTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

}  // namespace platform::nl80211
