#include "platform/core/Idle.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>

namespace {

// Only a session bus that exists is asked for: connecting to a missing one
// would make Qt print warnings on every tick.
bool SessionBusExpected()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFile::exists(runtime + QStringLiteral("/bus"));
}

}  // namespace

void SystemIdleTimerReset()
{
    static const bool expected = SessionBusExpected();
    if (!expected)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                                       QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                       QStringLiteral("org.freedesktop.ScreenSaver"),
                                                       QStringLiteral("SimulateUserActivity"));
    call.setAutoStartService(false);
    bus.send(call);
}
