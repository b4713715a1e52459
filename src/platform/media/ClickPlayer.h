// The guiding click on the audio output, inside the sound module. A thread of
// the player's own holds the output stream and renders the ticks into it as
// it empties, so the window's thread never waits on audio.
#pragma once

#include "platform/media/ClickTrain.h"

#include <QAudioDevice>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <vector>

class QAudioSink;
class QIODevice;
class QTimer;

class ClickPlayer {
public:
    explicit ClickPlayer(const QAudioDevice& device);
    // Stops the stream and ends the thread.
    ~ClickPlayer();
    ClickPlayer(const ClickPlayer&) = delete;
    ClickPlayer& operator=(const ClickPlayer&) = delete;

    // Clicks per 1000 seconds, 0 for silence. No sample is rendered at the
    // old rate once this returns; opening or closing the output happens on
    // the player's thread.
    void SetRate(std::uint32_t milliHertz);

private:
    // On the player's thread: opens the output for a rate, closes it for 0.
    void Apply();
    // On the player's thread: a sink of its own for this opening, started
    // and filled; Close stops and deletes it.
    void Open();
    void Close();
    // On the player's thread: fills what the output has room for.
    void Feed();

    QAudioDevice m_device;
    QThread m_thread;
    QObject* m_context = nullptr;  // lives on m_thread; the queued calls go to it
    std::atomic<std::uint32_t> m_rate{0};
    // Used on m_thread only:
    ClickTrain m_train;
    std::vector<std::int16_t> m_block;
    QAudioSink* m_sink = nullptr;   // while the output is open
    QIODevice* m_output = nullptr;  // the sink's, while it plays
    QTimer* m_feedTimer = nullptr;
};
