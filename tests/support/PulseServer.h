// A private PulseAudio server with one null sink, started for one test
// program, and a recorder of what that sink plays. PULSE_SERVER points the
// program's sound at it until the server is stopped.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
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

    // Start, then StartRecording, and waits for the recording's first
    // samples, from which on it counts. An empty text when all runs, else
    // what went wrong.
    std::string StartRecorded()
    {
        std::string problem = Start();
        if (!problem.empty())
            return problem;
        if (!StartRecording())
            return "parec did not start";
        QElapsedTimer started;
        started.start();
        while (Collect() == 0 && started.elapsed() < 10000)
            QThread::msleep(20);
        return m_samples.empty() ? "parec recorded nothing" : "";
    }

    // Runs the application's events for `milliseconds`, taking in the
    // recording meanwhile.
    void RunEvents(int milliseconds)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            Collect();
            QThread::msleep(10);
        }
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

    // Where each tick of the guiding click starts in the recording, from
    // sample `from` on. A tick peaks at about 20 000 and the silence between
    // ticks is 0; two ticks are at least 20 ms apart (fifty a second at most).
    std::vector<std::size_t> Onsets(std::size_t from) const
    {
        std::vector<std::size_t> onsets;
        std::size_t lastLoud = 0;
        bool any = false;
        for (std::size_t i = from; i < m_samples.size(); ++i) {
            if (std::abs(m_samples[i]) < kLoud)
                continue;
            if (!any || i - lastLoud > kQuietBetween)
                onsets.push_back(i);
            lastLoud = i;
            any = true;
        }
        return onsets;
    }

    // The pace of the ticks from sample `from` on, in clicks a second; 0 with
    // fewer than four ticks. The median interval, as a moment the output ran
    // dry stretches one interval.
    double ClickRate(std::size_t from) const
    {
        const std::vector<std::size_t> onsets = Onsets(from);
        if (onsets.size() < 4)
            return 0;
        std::vector<double> intervals;
        for (std::size_t i = 1; i < onsets.size(); ++i)
            intervals.push_back(static_cast<double>(onsets[i] - onsets[i - 1]) / kRecordRate);
        std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
        return 1.0 / intervals[intervals.size() / 2];
    }

    static constexpr int kRecordRate = 44100;
    static constexpr int kLoud = 2000;
    static constexpr std::size_t kQuietBetween = kRecordRate / 50;

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QProcess m_recorder;
    std::string m_address;
    QByteArray m_pending;
    std::vector<std::int16_t> m_samples;
};
