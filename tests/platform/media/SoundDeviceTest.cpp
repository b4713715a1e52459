// The chime and the guiding click on a real audio output: a private
// PulseAudio server with a null sink, started for this test program alone.
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
#include <memory>
#include <string>
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
    // One server for the whole program: the audio back end connects to the
    // first it finds and stays with it.
    static void SetUpTestSuite()
    {
        s_server = std::make_unique<PulseServer>();
        s_problem = s_server->Start();
    }
    static void TearDownTestSuite() { s_server.reset(); }
    void SetUp() override { ASSERT_TRUE(s_problem.empty()) << s_problem; }

    static inline std::unique_ptr<PulseServer> s_server;
    static inline std::string s_problem;
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

// The click stopped and started again, as the large view does each time it
// is left and opened, keeps its pace every time.
TEST_F(SoundDeviceTest, ClickKeepsItsPaceHoweverOftenItStarts)
{
    int argc = 1;
    char name[] = "test_sound_device";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ASSERT_TRUE(s_server->StartRecording());
    ASSERT_TRUE(RunEventsUntil([&] { return s_server->Collect() > 0; }, 10000)) << "parec recorded nothing";

    for (int start = 1; start <= 10; ++start) {
        SCOPED_TRACE(start);
        ASSERT_TRUE(SetClickRate(10000));
        // A new stream's first moments show the null sink's silence ahead.
        s_server->RunEvents(400);
        const std::size_t from = s_server->Collect();
        s_server->RunEvents(1000);
        EXPECT_NEAR(s_server->ClickRate(from), 10.0, 1.0);
        ASSERT_TRUE(SetClickRate(0));
        s_server->RunEvents(200);
    }
}

}  // namespace
