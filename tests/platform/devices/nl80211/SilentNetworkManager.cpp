// A stand-in for a NetworkManager that has hung: it takes NetworkManager's
// name on the bus at the address given, and answers no call. It prints
// "ready" once it holds the name and "call MEMBER" for every call it swallows,
// so a test knows a request reached it and is still waiting.
//
//   silent-networkmanager BUS_ADDRESS
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>

#include <cstdio>

namespace {

class Silent final : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override
    {
        std::printf("call %s\n", qPrintable(message.member()));
        std::fflush(stdout);
        return true;  // taken, so Qt sends no error reply either
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2)
        return 2;
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("silent"));
    Silent silent;
    if (!bus.isConnected() || !bus.registerVirtualObject(QStringLiteral("/"), &silent, QDBusConnection::SubPath) ||
        !bus.registerService(QStringLiteral("org.freedesktop.NetworkManager")))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return application.exec();
}
