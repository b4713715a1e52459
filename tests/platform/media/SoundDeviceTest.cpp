// The chime on a real audio output: a private PulseAudio server with a null
// sink, started for this test alone.
#include "platform/media/Sound.h"
#include "res/Resource.h"
#include "tests/support/PulseServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSoundEffect>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

bool RunEventsUntil(const std::function<bool()>& done, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

class SoundDeviceTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string problem = m_server.Start();
        ASSERT_TRUE(problem.empty()) << problem;
    }
    void TearDown() override { m_server.Stop(); }

    PulseServer m_server;
};

TEST_F(SoundDeviceTest, PlaysAndRestartsWhenStartedAgain)
{
    int argc = 1;
    char name[] = "test_sound_device";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    ASSERT_TRUE(PlaySoundW(MAKEINTRESOURCEW(IDR_NEW_NETWORK_WAVE), nullptr, SND_RESOURCE | SND_ASYNC));
    auto* effect = app.findChild<QSoundEffect*>(QStringLiteral("tarvolin-wave-%1").arg(IDR_NEW_NETWORK_WAVE));
    ASSERT_NE(nullptr, effect);
    std::vector<bool> changes;
    QObject::connect(effect, &QSoundEffect::playingChanged, [&] { changes.push_back(effect->isPlaying()); });

    ASSERT_TRUE(effect->isPlaying());
    // The wave loads in the background; playing starts when it is loaded.
    ASSERT_TRUE(RunEventsUntil([&] { return effect->status() != QSoundEffect::Loading; }, 10000));
    ASSERT_EQ(QSoundEffect::Ready, effect->status());
    ASSERT_TRUE(effect->isPlaying());

    // Started again a good way in: it stops and plays from the beginning, so
    // it ends a whole chime (1.25 s) after the second start, not 0.85 s.
    RunEventsUntil([] { return false; }, 400);
    ASSERT_TRUE(effect->isPlaying());
    changes.clear();
    QElapsedTimer sinceRestart;
    sinceRestart.start();
    ASSERT_TRUE(PlaySoundW(MAKEINTRESOURCEW(IDR_NEW_NETWORK_WAVE), nullptr, SND_RESOURCE | SND_ASYNC));
    ASSERT_TRUE(RunEventsUntil([&] { return effect->isPlaying(); }, 10000));
    EXPECT_EQ((std::vector<bool>{false, true}), changes);

    // And it plays to its end by itself.
    changes.clear();
    EXPECT_TRUE(RunEventsUntil([&] { return !effect->isPlaying(); }, 20000)) << "never finished";
    EXPECT_EQ((std::vector<bool>{false}), changes);
    EXPECT_GE(sinceRestart.elapsed(), 1100);
    EXPECT_EQ(1, static_cast<int>(app.findChildren<QSoundEffect*>().size())) << "one player per wave";
}

}  // namespace
