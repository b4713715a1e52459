// The guiding click on the audio output, inside the sound module. A thread of
// the player's own holds the output stream and renders the ticks as the
// output asks for them, so the window's thread never waits on audio.
#pragma once

#include <QAudioDevice>
#include <QThread>

#include <atomic>
#include <cstdint>

class QAudioSink;
class QIODevice;

class ClickPlayer {
public:
    explicit ClickPlayer(const QAudioDevice& device);
    // Stops the stream and ends the thread.
    ~ClickPlayer();
    ClickPlayer(const ClickPlayer&) = delete;
    ClickPlayer& operator=(const ClickPlayer&) = delete;

    // Clicks per 1000 seconds, 0 for silence. The stream renders no new
    // sample at the old rate once this returns; opening or closing the
    // output happens on the player's thread.
    void SetRate(std::uint32_t milliHertz);

private:
    // On the player's thread: opens the output for a rate, closes it for 0.
    void Apply();

    QAudioDevice m_device;
    QThread m_thread;
    QObject* m_context = nullptr;  // lives on m_thread; the queued calls go to it
    std::atomic<std::uint32_t> m_rate{0};
    QAudioSink* m_sink = nullptr;
    QIODevice* m_source = nullptr;
};
