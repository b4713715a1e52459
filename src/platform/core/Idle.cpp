#include "platform/core/Idle.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>

namespace {

// Only a session bus that exists is asked for: connecting to a missing one
// would make Qt print warnings on every tick. Decided once, from the
// environment the program was started with.
bool SessionBusExpected()
{
    static const bool expected = [] {
        if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            return true;
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        return !runtime.isEmpty() && QFile::exists(runtime + QStringLiteral("/bus"));
    }();
    return expected;
}

}  // namespace

namespace platform::core {

void DeclareMissingSessionBus()
{
    // An address the library cannot use fails at once, without a search.
    if (!SessionBusExpected())
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

}  // namespace platform::core

void SystemIdleTimerReset()
{
    if (!SessionBusExpected())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("SimulateUserActivity"));
    call.setAutoStartService(false);
    bus.send(call);
}
