#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace corvane::gen {

// Interleaved float audio, nominally in [-1, 1].
struct Pcm {
    int rate = 44100;
    int channels = 2;
    std::vector<float> samples;

    long long Frames() const { return static_cast<long long>(samples.size()) / channels; }
    double Seconds() const { return static_cast<double>(Frames()) / rate; }
};

// `frames` is rounded from seconds so that 2.000 s at 44100 Hz is exactly 88200 frames.
long long FramesFor(double seconds, int rate);

// A steady sine of `peak` amplitude, equal in every channel, starting at phase 0.
Pcm Sine(double frequency, double seconds, int rate, int channels, double peak);
Pcm Silence(double seconds, int rate, int channels);

enum class WavSample { S16, F32 };

// Canonical RIFF/WAVE bytes (PCM s16 or IEEE float, little-endian).
std::vector<std::uint8_t> WavBytes(const Pcm& pcm, WavSample format);

// A WAVE header whose RIFF and data chunk sizes claim `claimedDataBytes`, followed by the real
// (shorter) s16 sample data: the kind of file a crashed recorder leaves behind.
std::vector<std::uint8_t> WavBytesClaiming(const Pcm& pcm, std::uint32_t claimedDataBytes);

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void WriteFile(const std::filesystem::path& path, const std::string& text);

// Deterministic xorshift generator; every file made from "random" data uses a fixed seed.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    std::uint64_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    // Uniform in [-1, 1).
    float Bipolar() { return static_cast<float>(Next() >> 40) / 8388608.0f - 1.0f; }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_;
};

}  // namespace corvane::gen
