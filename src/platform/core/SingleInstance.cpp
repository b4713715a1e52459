#include "platform/core/SingleInstance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <unistd.h>

namespace platform::core {

namespace {

constexpr int kAnswerTimeoutMs = 2000;
constexpr char kRaiseRequest[] = "raise\n";

}  // namespace

SingleInstance::SingleInstance(const std::string& program, const std::string& settingsFile)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString prefix;
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::tempPath();
        prefix = QStringLiteral("%1-").arg(::getuid());
    }
    // The settings file's path, shortened: a socket path has room for about
    // a hundred bytes.
    const QByteArray key =
        QCryptographicHash::hash(QByteArray::fromStdString(settingsFile), QCryptographicHash::Sha256).toHex().left(16);
    m_path = (folder + QLatin1Char('/') + prefix + QString::fromStdString(program) + QLatin1Char('-') +
              QString::fromLatin1(key) + QStringLiteral(".socket"))
                 .toStdString();
}

SingleInstance::~SingleInstance()
{
    delete m_server;
}

bool SingleInstance::Claim(std::function<void()> raise)
{
    const QString path = QString::fromStdString(m_path);
    // A running copy answers at the name. Listening alone would not tell:
    // with access for the user only, Qt puts its new socket over the name.
    QLocalSocket running;
    running.connectToServer(path);
    if (running.waitForConnected(kAnswerTimeoutMs)) {
        running.write(kRaiseRequest);
        running.waitForBytesWritten(kAnswerTimeoutMs);
        running.disconnectFromServer();
        return false;
    }
    // No answer: nothing there, or a socket file left by a killed copy.
    QLocalServer::removeServer(path);
    m_server = new QLocalServer;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path))
        return true;  // no socket to be had: run without the guard
    QObject::connect(m_server, &QLocalServer::newConnection, m_server, [this, raise] {
        while (QLocalSocket* caller = m_server->nextPendingConnection()) {
            QObject::connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            QObject::connect(caller, &QLocalSocket::readyRead, caller, [caller, raise] {
                if (caller->readAll().contains('\n'))
                    raise();
            });
        }
    });
    return true;
}

void RaiseProgramWindows()
{
    QWidget* modal = QApplication::activeModalWidget();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() && !window->isMinimized())
            continue;
        if (window == modal)
            continue;
        if (window->isMinimized())
            window->showNormal();
        window->raise();
        window->activateWindow();
    }
    if (modal != nullptr) {
        modal->raise();
        modal->activateWindow();
    }
}

}  // namespace platform::core
