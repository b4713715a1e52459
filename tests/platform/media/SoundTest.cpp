#include "platform/media/Sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFile>
#include <QMediaDevices>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
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
    PlaySoundW(MAKEINTRESOURCEW(157), nullptr, SND_RESOURCE | SND_ASYNC);
    PlaySoundW(MAKEINTRESOURCEW(42), nullptr, SND_RESOURCE | SND_ASYNC);
    ASSERT_EQ(2u, m_recorder.requests.size());
    EXPECT_EQ(157u, m_recorder.requests[0].resource);
    EXPECT_EQ(0x40005u, m_recorder.requests[0].flags);
    EXPECT_EQ(nullptr, m_recorder.requests[0].module);
    EXPECT_EQ(42u, m_recorder.requests[1].resource);

    SetSoundObserver(nullptr, nullptr);
    PlaySoundW(MAKEINTRESOURCEW(157), nullptr, SND_RESOURCE | SND_ASYNC);
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
    const Case cases[] = {
        {MAKEINTRESOURCEW(158), SND_RESOURCE | SND_ASYNC},  // no such wave
        {MAKEINTRESOURCEW(0), SND_RESOURCE | SND_ASYNC},
        {u"157", SND_RESOURCE | SND_ASYNC},     // names are not numbers
        {MAKEINTRESOURCEW(157), SND_RESOURCE},  // waiting for the end is not offered
        {MAKEINTRESOURCEW(157), SND_ASYNC},     // not a resource
        {MAKEINTRESOURCEW(157), SND_RESOURCE | SND_ASYNC | SND_PURGE},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(PlaySoundW(c.name, nullptr, c.flags)) << c.flags;
    EXPECT_EQ(std::size(cases), m_recorder.requests.size());
}

TEST_F(SoundTest, WithoutAnApplicationItIsSilent)
{
    ASSERT_EQ(nullptr, QCoreApplication::instance());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(PlaySoundW(MAKEINTRESOURCEW(157), nullptr, SND_RESOURCE | SND_ASYNC));
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
    const BOOL first = PlaySoundW(MAKEINTRESOURCEW(157), nullptr, SND_RESOURCE | SND_ASYNC);
    const BOOL again = PlaySoundW(MAKEINTRESOURCEW(157), nullptr, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
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

TEST(WaveResource, IsEmbeddedAsCommitted)
{
    QFile embedded(QStringLiteral(":/wave/157.wav"));
    ASSERT_TRUE(embedded.open(QIODevice::ReadOnly));
    const QByteArray bytes = embedded.readAll();

    std::ifstream committed(TARVOLIN_SOURCE_DIR "/res/wave/157.wav", std::ios::binary);
    ASSERT_TRUE(committed.is_open());
    const std::string file((std::istreambuf_iterator<char>(committed)), std::istreambuf_iterator<char>());
    EXPECT_EQ(file, bytes.toStdString());
}

}  // namespace
