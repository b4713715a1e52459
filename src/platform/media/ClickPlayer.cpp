#include "platform/media/ClickPlayer.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QTimer>

#include <utility>

namespace {

constexpr int kSampleRate = 44100;
// What the output holds ahead of what is heard: a stop or a new rate reaches
// the ear after at most this much sound already made.
constexpr int kBufferMilliseconds = 60;
// How often the thread tops the output up: well inside the buffer, so a late
// turn of a busy machine still finds sound waiting.
constexpr int kFeedMilliseconds = 10;

}  // namespace

ClickPlayer::ClickPlayer(const QAudioDevice& device) : m_device(device), m_train(kSampleRate)
{
    m_thread.setObjectName(QStringLiteral("tarvolin-clicks"));
    m_thread.start();
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
}

ClickPlayer::~ClickPlayer()
{
    QMetaObject::invokeMethod(
        m_context,
        [this] {
            Close();
            delete m_feedTimer;
            m_feedTimer = nullptr;
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_context;
}

void ClickPlayer::SetRate(std::uint32_t milliHertz)
{
    m_rate.store(milliHertz, std::memory_order_relaxed);
    QMetaObject::invokeMethod(
        m_context, [this] { Apply(); }, Qt::QueuedConnection);
}

void ClickPlayer::Apply()
{
    const std::uint32_t rate = m_rate.load(std::memory_order_relaxed);
    m_train.SetRate(rate);
    if (rate == 0) {
        Close();
        return;
    }
    if (m_sink == nullptr)
        Open();
}

void ClickPlayer::Open()
{
    // A new sink for every opening. Qt's PulseAudio sink takes the buffer the
    // server granted at one start as its request at the next, and the server
    // grants less than asked: a sink started again and again ends with a
    // buffer of a millisecond, the feed cannot keep it filled, and the ticks
    // slow down with every opening.
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    m_sink = new QAudioSink(m_device, format);
    m_sink->setBufferSize(kSampleRate * kBufferMilliseconds / 1000 * static_cast<int>(sizeof(std::int16_t)));
    m_output = m_sink->start();
    if (m_output == nullptr) {
        Close();
        return;
    }
    if (m_feedTimer == nullptr) {
        m_feedTimer = new QTimer;
        m_feedTimer->setTimerType(Qt::PreciseTimer);
        m_feedTimer->setInterval(kFeedMilliseconds);
        QObject::connect(m_feedTimer, &QTimer::timeout, [this] { Feed(); });
    }
    Feed();
    m_feedTimer->start();
}

void ClickPlayer::Close()
{
    if (m_feedTimer != nullptr)
        m_feedTimer->stop();
    QAudioSink* sink = std::exchange(m_sink, nullptr);
    m_output = nullptr;
    if (sink == nullptr)
        return;
    // Dropped, not played out: the click stops at once.
    sink->reset();
    sink->stop();
    // Deleted from the thread's event loop, not here: Qt's PulseAudio sink
    // runs the thread's pending events as it is destroyed, and a newer rate
    // waiting among them would otherwise be applied in the middle of this.
    sink->deleteLater();
}

void ClickPlayer::Feed()
{
    if (m_output == nullptr)
        return;
    m_train.SetRate(m_rate.load(std::memory_order_relaxed));
    const auto samples = static_cast<std::size_t>(m_sink->bytesFree()) / sizeof(std::int16_t);
    if (samples == 0)
        return;
    m_block.resize(samples);
    m_train.Render(m_block.data(), samples);
    m_output->write(reinterpret_cast<const char*>(m_block.data()), static_cast<qint64>(samples * sizeof(std::int16_t)));
}
