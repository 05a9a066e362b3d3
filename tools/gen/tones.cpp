#include "tones.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>
#include <stdexcept>

namespace corvane::gen {

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

std::vector<std::uint8_t> WavHeader(const Pcm& pcm, WavSample format, std::uint32_t dataBytes) {
    const std::uint16_t bytesPerSample = format == WavSample::S16 ? 2 : 4;
    const std::uint16_t blockAlign = static_cast<std::uint16_t>(bytesPerSample * pcm.channels);
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    // Saturates rather than wraps when the claimed size is near 4 GB.
    Put32(out, dataBytes > 0xFFFFFFFFu - 36 ? 0xFFFFFFFFu : 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, format == WavSample::S16 ? 1 : 3);
    Put16(out, static_cast<std::uint16_t>(pcm.channels));
    Put32(out, static_cast<std::uint32_t>(pcm.rate));
    Put32(out, static_cast<std::uint32_t>(pcm.rate) * blockAlign);
    Put16(out, blockAlign);
    Put16(out, static_cast<std::uint16_t>(8 * bytesPerSample));
    PutTag(out, "data");
    Put32(out, dataBytes);
    return out;
}

void AppendSamples(std::vector<std::uint8_t>& out, const Pcm& pcm, WavSample format) {
    for (float s : pcm.samples) {
        if (format == WavSample::S16) {
            const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
            Put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
        } else {
            std::uint32_t bits;
            std::memcpy(&bits, &s, sizeof bits);
            Put32(out, bits);
        }
    }
}

}  // namespace

long long FramesFor(double seconds, int rate) { return std::llround(seconds * rate); }

Pcm Sine(double frequency, double seconds, int rate, int channels, double peak) {
    Pcm pcm{rate, channels, {}};
    const long long frames = FramesFor(seconds, rate);
    pcm.samples.resize(static_cast<std::size_t>(frames * channels));
    const double step = 2.0 * std::numbers::pi * frequency / rate;
    for (long long i = 0; i < frames; ++i) {
        const auto v = static_cast<float>(peak * std::sin(step * static_cast<double>(i)));
        std::fill_n(pcm.samples.begin() + i * channels, channels, v);
    }
    return pcm;
}

Pcm Silence(double seconds, int rate, int channels) {
    Pcm pcm{rate, channels, {}};
    pcm.samples.assign(static_cast<std::size_t>(FramesFor(seconds, rate) * channels), 0.0f);
    return pcm;
}

std::vector<std::uint8_t> WavBytes(const Pcm& pcm, WavSample format) {
    const std::size_t bytes = pcm.samples.size() * (format == WavSample::S16 ? 2 : 4);
    std::vector<std::uint8_t> out = WavHeader(pcm, format, static_cast<std::uint32_t>(bytes));
    AppendSamples(out, pcm, format);
    return out;
}

std::vector<std::uint8_t> WavBytesClaiming(const Pcm& pcm, std::uint32_t claimedDataBytes) {
    std::vector<std::uint8_t> out = WavHeader(pcm, WavSample::S16, claimedDataBytes);
    AppendSamples(out, pcm, WavSample::S16);
    return out;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    // Written beside the target and renamed, so an interrupted build never leaves half a file.
    std::filesystem::path temp = path;
    temp += ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) throw std::runtime_error("cannot write " + temp.string());
    }
    std::filesystem::rename(temp, path);
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace corvane::gen
