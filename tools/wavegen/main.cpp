// Writes the new-network chime, wave resource IDR_NEW_NETWORK_WAVE: three rising bell notes
// (C6, E6, G6) in 8-bit unsigned mono PCM at 11 025 samples per second,
// 13 780 bytes of samples. Usage: wavegen OUTPUT.wav
//
// Each note is a struck bell: a fundamental with two quieter, faster-fading
// overtones (the octave and the bell's inharmonic 2.76 partial), a 4 ms
// raised-cosine attack so it starts without a click, and an exponential decay.
// The last 60 ms fade to silence so the sound also ends without a click.
// Only IEEE arithmetic and the C library's sin and exp are used, so the output
// is the same byte for byte on every build.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int kSampleRate = 11025;
constexpr int kSampleCount = 13780;
constexpr double kPeak = 0.72;  // of full scale, to leave headroom

struct Partial {
    double ratio;      // frequency as a multiple of the note's
    double amplitude;  // relative to the fundamental
    double decay;      // time constant, seconds
};
constexpr Partial kPartials[] = {{1.0, 1.0, 0.38}, {2.0, 0.28, 0.16}, {2.76, 0.12, 0.09}};

struct Note {
    double start;      // seconds
    double frequency;  // Hz
    double loudness;
};
constexpr Note kNotes[] = {{0.00, 1046.50, 0.85}, {0.14, 1318.51, 0.85}, {0.28, 1567.98, 1.0}};

constexpr double kAttack = 0.004;
constexpr double kFadeOut = 0.060;

std::vector<double> Synthesise()
{
    std::vector<double> mix(kSampleCount, 0.0);
    for (const Note& note : kNotes) {
        const int first = static_cast<int>(std::lround(note.start * kSampleRate));
        for (int i = first; i < kSampleCount; ++i) {
            const double t = static_cast<double>(i - first) / kSampleRate;
            const double attack = t < kAttack ? 0.5 - 0.5 * std::cos(std::numbers::pi * t / kAttack) : 1.0;
            double value = 0.0;
            for (const Partial& partial : kPartials)
                value += partial.amplitude * std::exp(-t / partial.decay) *
                         std::sin(2.0 * std::numbers::pi * note.frequency * partial.ratio * t);
            mix[i] += note.loudness * attack * value;
        }
    }
    const int fadeSamples = static_cast<int>(kFadeOut * kSampleRate);
    for (int k = 0; k < fadeSamples; ++k) {
        const double x = static_cast<double>(k + 1) / fadeSamples;  // reaches 1 at the last sample
        mix[kSampleCount - fadeSamples + k] *= 0.5 + 0.5 * std::cos(std::numbers::pi * x);
    }
    return mix;
}

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::uint8_t> WaveFile(const std::vector<double>& mix)
{
    double peak = 0.0;
    for (double v : mix)
        peak = std::max(peak, std::fabs(v));
    const double scale = peak > 0.0 ? kPeak * 127.0 / peak : 0.0;

    std::vector<std::uint8_t> out;
    out.reserve(44 + mix.size());
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutLE(out, 36 + kSampleCount, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLE(out, 16, 4);           // format chunk size
    PutLE(out, 1, 2);            // PCM
    PutLE(out, 1, 2);            // channels
    PutLE(out, kSampleRate, 4);  // samples per second
    PutLE(out, kSampleRate, 4);  // bytes per second
    PutLE(out, 1, 2);            // block alignment
    PutLE(out, 8, 2);            // bits per sample
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLE(out, kSampleCount, 4);
    for (double v : mix) {
        const long level = 128 + std::lround(v * scale);
        out.push_back(static_cast<std::uint8_t>(std::clamp(level, 0L, 255L)));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: wavegen OUTPUT.wav\n");
        return 2;
    }
    const std::vector<std::uint8_t> bytes = WaveFile(Synthesise());
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
