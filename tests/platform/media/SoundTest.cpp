#include "platform/media/Sound.h"
#include "platform/Resources.h"
#include "platform/Testing.h"
#include "res/Resource.h"
#include "res/ResourceTable.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFile>
#include <QMediaDevices>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Recorder {
    std::vector<SoundRequest> requests;

    static void Record(const SoundRequest& request, void* context)
    {
        static_cast<Recorder*>(context)->requests.push_back(request);
    }
};

class SoundTest : public testing::Test {
protected:
    void SetUp() override { SetSoundObserver(&Recorder::Record, &m_recorder); }
    void TearDown() override { SetSoundObserver(nullptr, nullptr); }

    Recorder m_recorder;
};

TEST_F(SoundTest, ObserverSeesEveryRequestAsMade)
{
    PlaySoundW(MAKEINTRESOURCEW(IDR_NEW_NETWORK_WAVE), nullptr, SND_RESOURCE | SND_ASYNC);
    PlaySoundW(MAKEINTRESOURCEW(42), nullptr, SND_RESOURCE | SND_ASYNC);
    ASSERT_EQ(2u, m_recorder.requests.size());
    EXPECT_EQ(157u, m_recorder.requests[0].resource);
    EXPECT_EQ(0x40005u, m_recorder.requests[0].flags);
    EXPECT_EQ(nullptr, m_recorder.requests[0].module);
    EXPECT_EQ(42u, m_recorder.requests[1].resource);

    SetSoundObserver(nullptr, nullptr);
    PlaySoundW(MAKEINTRESOURCEW(IDR_NEW_NETWORK_WAVE), nullptr, SND_RESOURCE | SND_ASYNC);
    EXPECT_EQ(2u, m_recorder.requests.size());
}

TEST_F(SoundTest, RefusesWhatItCannotPlay)
{
    int argc = 1;
    char name[] = "test_sound";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    struct Case {
        const WCHAR* name;
        DWORD flags;
    };
    constexpr NumberedName kWave(IDR_NEW_NETWORK_WAVE);
    const Case cases[] = {
        {MAKEINTRESOURCEW(IDB_LAPTOP_CROSSED), SND_RESOURCE | SND_ASYNC},  // a bitmap, not a wave
        {MAKEINTRESOURCEW(0), SND_RESOURCE | SND_ASYNC},
        {kWave.text + 1, SND_RESOURCE | SND_ASYNC},              // names are not numbers
        {MAKEINTRESOURCEW(IDR_NEW_NETWORK_WAVE), SND_RESOURCE},  // waiting for the end is not offered
        {MAKEINTRESOURCEW(IDR_NEW_NETWORK_WAVE), SND_ASYNC},     // not a resource
        {MAKEINTRESOURCEW(IDR_NEW_NETWORK_WAVE), SND_RESOURCE | SND_ASYNC | SND_PURGE},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(PlaySoundW(c.name, nullptr, c.flags)) << c.flags;
    EXPECT_EQ(std::size(cases), m_recorder.requests.size());
}

TEST_F(SoundTest, WithoutAnApplicationItIsSilent)
{
    ASSERT_EQ(nullptr, QCoreApplication::instance());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(PlaySoundW(MAKEINTRESOURCEW(IDR_NEW_NETWORK_WAVE), nullptr, SND_RESOURCE | SND_ASYNC));
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

// Where the machine has no audio output the sound is simply not heard: no
// warning of the audio back end reaches the terminal.
TEST_F(SoundTest, PlaysOrStaysQuietAndReturnsAtOnce)
{
    int argc = 1;
    char name[] = "test_sound";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    testing::internal::CaptureStderr();
    const BOOL first = PlaySoundW(MAKEINTRESOURCEW(IDR_NEW_NETWORK_WAVE), nullptr, SND_RESOURCE | SND_ASYNC);
    const BOOL again =
        PlaySoundW(MAKEINTRESOURCEW(IDR_NEW_NETWORK_WAVE), nullptr, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
    QCoreApplication::processEvents();
    const std::string printed = testing::internal::GetCapturedStderr();

    if (!first) {
        EXPECT_FALSE(again);
        EXPECT_EQ("", printed);
    } else {
        EXPECT_TRUE(again);
        EXPECT_FALSE(QMediaDevices::audioOutputs().isEmpty());
    }
    EXPECT_EQ(2u, m_recorder.requests.size());
}

// The guiding click: seen by its observer, refused off the application's
// thread and without an application, and on a machine without audio output
// quiet in every sense.
TEST(ClickRate, PlaysOrStaysQuietAndNeverOffTheApplicationThread)
{
    std::vector<DWORD> seen;
    SetClickObserver([](DWORD rate, void* context) { static_cast<std::vector<DWORD>*>(context)->push_back(rate); },
                     &seen);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SetClickRate(3162));  // no application yet
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    {
        int argc = 1;
        char name[] = "test_sound";
        char* argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        BOOL elsewhere = TRUE;
        std::thread other([&] { elsewhere = SetClickRate(1000); });
        other.join();
        EXPECT_FALSE(elsewhere);

        testing::internal::CaptureStderr();
        const BOOL started = SetClickRate(10000);
        const BOOL stopped = SetClickRate(0);
        QCoreApplication::processEvents();
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(started, stopped);
        if (!started) {
            EXPECT_TRUE(QMediaDevices::audioOutputs().isEmpty());
            EXPECT_EQ("", printed);
        }
    }
    EXPECT_EQ(seen, (std::vector<DWORD>{3162, 1000, 10000, 0}));
    SetClickObserver(nullptr, nullptr);
    SetClickRate(5000);
    EXPECT_EQ(seen.size(), 4u);
}

TEST(WaveResource, IsEmbeddedAsCommitted)
{
    const WaveResource* wave = FindWaveResource(IDR_NEW_NETWORK_WAVE);
    ASSERT_NE(nullptr, wave);
    QFile embedded(QStringLiteral(":/") + QString::fromLatin1(wave->file));
    ASSERT_TRUE(embedded.open(QIODevice::ReadOnly));
    const QByteArray bytes = embedded.readAll();

    std::ifstream committed(std::string(TARVOLIN_SOURCE_DIR "/res/") + wave->file, std::ios::binary);
    ASSERT_TRUE(committed.is_open());
    const std::string file((std::istreambuf_iterator<char>(committed)), std::istreambuf_iterator<char>());
    EXPECT_EQ(file, bytes.toStdString());
}

}  // namespace
