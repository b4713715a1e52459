#include "platform/media/ClickPlayer.h"

#include "platform/media/ClickTrain.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>

#include <limits>

namespace {

constexpr int kSampleRate = 44100;
// What the output holds ahead of what is heard. A rate change or a stop
// reaches the ear after at most this much sound already rendered.
constexpr int kBufferMilliseconds = 50;

// The ticks as an endless stream the output pulls from, rendering each block
// as it is asked for at the rate set last.
class ClickSource : public QIODevice {
public:
    explicit ClickSource(const std::atomic<std::uint32_t>& rate) : m_rate(rate), m_train(kSampleRate) { }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return std::numeric_limits<int>::max(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        m_train.SetRate(m_rate.load(std::memory_order_relaxed));
        const auto samples = static_cast<std::size_t>(maxSize) / sizeof(std::int16_t);
        m_train.Render(reinterpret_cast<std::int16_t*>(data), samples);
        return static_cast<qint64>(samples * sizeof(std::int16_t));
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const std::atomic<std::uint32_t>& m_rate;
    ClickTrain m_train;
};

}  // namespace

ClickPlayer::ClickPlayer(const QAudioDevice& device) : m_device(device)
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
            delete m_sink;
            delete m_source;
            m_sink = nullptr;
            m_source = nullptr;
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
    if (rate == 0) {
        // Closing the stream drops what the output still holds.
        if (m_sink != nullptr && m_sink->state() != QAudio::StoppedState)
            m_sink->stop();
        return;
    }
    if (m_sink == nullptr) {
        QAudioFormat format;
        format.setSampleRate(kSampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        m_sink = new QAudioSink(m_device, format);
        m_sink->setBufferSize(kSampleRate * kBufferMilliseconds / 1000 * static_cast<int>(sizeof(std::int16_t)));
        m_source = new ClickSource(m_rate);
        m_source->open(QIODevice::ReadOnly);
    }
    if (m_sink->state() == QAudio::StoppedState)
        m_sink->start(m_source);
}
