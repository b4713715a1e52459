// A private PulseAudio server with one null sink, started for one test
// program, and a recorder of what that sink plays. PULSE_SERVER points the
// program's sound at it until the server is stopped.
#pragma once

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

class PulseServer {
public:
    // Starts the server; an empty text when it runs, else what went wrong.
    std::string Start()
    {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (server.isEmpty())
            return "pulseaudio is needed to play on a real output";
        if (!m_dir.isValid())
            return "no temporary folder";
        const QString socket = m_dir.filePath(QStringLiteral("native"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_dir.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path());
        m_server.setProcessEnvironment(env);
        m_server.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        m_server.setStandardErrorFile(m_dir.filePath(QStringLiteral("server.log")));
        m_server.start(server,
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                        QStringLiteral("--use-pid-file=no"), QStringLiteral("-L"),
                        QStringLiteral("module-null-sink sink_name=null"), QStringLiteral("-L"),
                        QStringLiteral("module-native-protocol-unix socket=%1 auth-anonymous=1").arg(socket)});
        if (!m_server.waitForStarted(10000))
            return "the sound server did not start";
        QDeadlineTimer ready(20000);
        while (!QFileInfo::exists(socket) && !ready.hasExpired())
            QThread::msleep(20);
        if (!QFileInfo::exists(socket))
            return "the sound server opened no socket";
        m_address = "unix:" + socket.toStdString();
        setenv("PULSE_SERVER", m_address.c_str(), 1);
        return {};
    }

    void Stop()
    {
        if (m_recorder.state() != QProcess::NotRunning) {
            m_recorder.kill();
            m_recorder.waitForFinished(5000);
        }
        if (m_server.state() != QProcess::NotRunning) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
        unsetenv("PULSE_SERVER");
    }

    ~PulseServer() { Stop(); }

    // Starts recording what the null sink plays: mono, 16 bits, kRecordRate
    // samples a second, in fragments of 10 ms: what was played a moment ago
    // has arrived, and the sample count stands in for a clock.
    bool StartRecording()
    {
        m_recorder.start(QStringLiteral("parec"),
                         {QStringLiteral("--server=%1").arg(QString::fromStdString(m_address)),
                          QStringLiteral("--device=null.monitor"), QStringLiteral("--raw"),
                          QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                          QStringLiteral("--rate=%1").arg(kRecordRate), QStringLiteral("--latency-msec=10")});
        return m_recorder.waitForStarted(10000);
    }

    // Takes in what the recorder has delivered so far; returns the number of
    // samples recorded.
    std::size_t Collect()
    {
        m_recorder.waitForReadyRead(0);
        m_pending += m_recorder.readAllStandardOutput();
        const qsizetype whole = m_pending.size() / 2 * 2;
        const auto* data = reinterpret_cast<const std::int16_t*>(m_pending.constData());
        m_samples.insert(m_samples.end(), data, data + whole / 2);
        m_pending.remove(0, whole);
        return m_samples.size();
    }

    const std::vector<std::int16_t>& Samples() const { return m_samples; }

    static constexpr int kRecordRate = 44100;

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QProcess m_recorder;
    std::string m_address;
    QByteArray m_pending;
    std::vector<std::int16_t> m_samples;
};
