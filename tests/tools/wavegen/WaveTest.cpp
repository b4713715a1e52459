// The committed chime, res/wave/157.wav, and its generator.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::uint32_t Le(const std::vector<std::uint8_t>& bytes, std::size_t at, int width)
{
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
    return value;
}

std::string Tag(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return std::string(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at) + 4);
}

const std::filesystem::path kCommitted = TARVOLIN_SOURCE_DIR "/res/wave/157.wav";

TEST(Chime, HeaderIsEightBitMonoPcmAt11025)
{
    const std::vector<std::uint8_t> wave = ReadFile(kCommitted);
    ASSERT_EQ(44u + 13780u, wave.size());
    EXPECT_EQ("RIFF", Tag(wave, 0));
    EXPECT_EQ(wave.size() - 8, Le(wave, 4, 4));
    EXPECT_EQ("WAVE", Tag(wave, 8));
    EXPECT_EQ("fmt ", Tag(wave, 12));
    EXPECT_EQ(16u, Le(wave, 16, 4));
    EXPECT_EQ(1u, Le(wave, 20, 2));      // PCM
    EXPECT_EQ(1u, Le(wave, 22, 2));      // one channel
    EXPECT_EQ(11025u, Le(wave, 24, 4));  // samples per second
    EXPECT_EQ(11025u, Le(wave, 28, 4));  // bytes per second
    EXPECT_EQ(1u, Le(wave, 32, 2));      // block alignment
    EXPECT_EQ(8u, Le(wave, 34, 2));      // bits per sample
    EXPECT_EQ("data", Tag(wave, 36));
    EXPECT_EQ(13780u, Le(wave, 40, 4));
}

TEST(Chime, StartsAndEndsInSilenceAndIsAudible)
{
    const std::vector<std::uint8_t> wave = ReadFile(kCommitted);
    ASSERT_EQ(44u + 13780u, wave.size());
    const std::vector<std::uint8_t> samples(wave.begin() + 44, wave.end());
    // 8-bit PCM is unsigned: 128 is silence. No jump at either end means no click.
    EXPECT_EQ(128, samples.front());
    EXPECT_EQ(128, samples.back());
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_NEAR(128, samples[i], 4) << i;
        EXPECT_NEAR(128, samples[samples.size() - 1 - i], 4) << i;
    }
    int peak = 0;
    for (std::uint8_t s : samples)
        peak = std::max(peak, std::abs(s - 128));
    EXPECT_GT(peak, 64);   // clearly heard
    EXPECT_LT(peak, 127);  // and not clipped
}

TEST(Chime, GeneratorReproducesTheCommittedFile)
{
    const std::filesystem::path output =
        std::filesystem::temp_directory_path() / ("tarvolin-wave-" + std::to_string(::getpid()) + ".wav");
    const std::string command = std::string("\"") + TARVOLIN_WAVEGEN + "\" \"" + output.string() + "\"";
    ASSERT_EQ(0, std::system(command.c_str()));
    const std::vector<std::uint8_t> generated = ReadFile(output);
    std::filesystem::remove(output);
    EXPECT_TRUE(generated == ReadFile(kCommitted)) << "regenerate res/wave/157.wav with wavegen";
}

TEST(Chime, GeneratorReportsAFileItCannotWrite)
{
    const std::string command = std::string("\"") + TARVOLIN_WAVEGEN + "\" /nonexistent-dir/157.wav 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_NE(0, status);
}

}  // namespace
