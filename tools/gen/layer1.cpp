#include "layer1.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace corvane::gen {

namespace {

constexpr int kBands = 32;
constexpr int kTaps = 512;
constexpr int kSlotsPerFrame = 12;  // subband samples per band in one frame
constexpr int kFrameSamples = kBands * kSlotsPerFrame;

double BesselI0(double x) {
    double sum = 1.0;
    double term = 1.0;
    for (int k = 1; k < 30; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

// The prototype low-pass of the filter bank: a Kaiser-windowed sinc with its cutoff at half a
// band width, scaled so a full-scale sine in a band gives subband samples of about 1, which
// is what the decoder's synthesis window expects. The sign flips every 64 taps fold the
// cosine modulation's period into the 64-point matrixing below.
std::array<double, kTaps> AnalysisWindow() {
    std::array<double, kTaps> c{};
    constexpr double kBeta = 9.0;
    constexpr double kCutoff = std::numbers::pi / 64.0;
    const double norm = BesselI0(kBeta);
    for (int n = 0; n < kTaps; ++n) {
        const double t = n - (kTaps - 1) / 2.0 + 0.5;  // centre on tap 256, as the decoder does
        const double sinc =
            t == 0.0 ? kCutoff / std::numbers::pi : std::sin(kCutoff * t) / (std::numbers::pi * t);
        const double r = (n - (kTaps - 1) / 2.0) / ((kTaps - 1) / 2.0);
        const double window = BesselI0(kBeta * std::sqrt(std::max(0.0, 1.0 - r * r))) / norm;
        const double sign = ((n / 64) % 2) ? -1.0 : 1.0;
        c[static_cast<std::size_t>(n)] = 2.0 * sinc * window * sign;
    }
    return c;
}

class AnalysisFilter {
public:
    AnalysisFilter() : window_(AnalysisWindow()) {
        for (int k = 0; k < kBands; ++k) {
            for (int i = 0; i < 64; ++i) {
                matrix_[static_cast<std::size_t>(k * 64 + i)] =
                    std::cos((2 * k + 1) * (i - 16) * std::numbers::pi / 64.0);
            }
        }
    }

    // Takes 32 new samples (oldest first) and yields one sample for each of the 32 bands.
    void Push(const float* in, int stride, double* out) {
        offset_ = (offset_ + kTaps - kBands) % kTaps;
        for (int i = 0; i < kBands; ++i) {
            history_[static_cast<std::size_t>((offset_ + kBands - 1 - i) % kTaps)] = in[i * stride];
        }
        std::array<double, 64> y{};
        for (int i = 0; i < kTaps; ++i) {
            y[static_cast<std::size_t>(i % 64)] +=
                window_[static_cast<std::size_t>(i)] *
                history_[static_cast<std::size_t>((offset_ + i) % kTaps)];
        }
        for (int k = 0; k < kBands; ++k) {
            double s = 0.0;
            for (int i = 0; i < 64; ++i) s += matrix_[static_cast<std::size_t>(k * 64 + i)] * y[i];
            out[k] = s;
        }
    }

private:
    std::array<double, kTaps> window_;
    std::array<double, kBands * 64> matrix_{};
    std::array<double, kTaps> history_{};  // history_[offset_] is the newest sample
    int offset_ = 0;
};

double ScaleFactor(int index) { return 2.0 * std::exp2(-index / 3.0); }

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(unsigned value, int bits) {
        for (int b = bits - 1; b >= 0; --b) {
            if (used_ % 8 == 0) out_.push_back(0);
            if ((value >> b) & 1u) out_.back() |= static_cast<std::uint8_t>(0x80u >> (used_ % 8));
            ++used_;
        }
    }
    long Used() const { return used_; }

private:
    std::vector<std::uint8_t>& out_;
    long used_ = 0;
};

struct Band {
    int scale = 62;  // scale factor index; smaller is louder
    int bits = 0;    // bits per sample: 0 (not sent) or 2..15
    double peak = 0.0;
};

// Hands bits to the band whose quantisation noise is loudest until the frame is full.
void AllocateBits(std::vector<Band>& bands, long budget) {
    for (;;) {
        Band* best = nullptr;
        double loudest = -1e9;
        for (Band& band : bands) {
            const long cost = band.bits == 0 ? 6 + 2 * kSlotsPerFrame : kSlotsPerFrame;
            if (band.bits == 15 || band.peak < 1e-6 || cost > budget) continue;
            const double noise = -2.0 * band.scale - 6.02 * band.bits;
            if (noise > loudest) {
                loudest = noise;
                best = &band;
            }
        }
        if (!best) return;
        budget -= best->bits == 0 ? 6 + 2 * kSlotsPerFrame : kSlotsPerFrame;
        best->bits = best->bits == 0 ? 2 : best->bits + 1;
    }
}

unsigned Quantise(double value, const Band& band) {
    const int half = (1 << (band.bits - 1)) - 1;
    const double steps = ((1 << band.bits) - 1) / 2.0;
    const long q = std::lround(value / ScaleFactor(band.scale) * steps);
    return static_cast<unsigned>(std::clamp<long>(q, -half, half) + half);
}

int RateIndex(int rate) {
    switch (rate) {
        case 44100:
            return 0;
        case 48000:
            return 1;
        case 32000:
            return 2;
        default:
            throw std::runtime_error("Layer I: unsupported sample rate");
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeLayer1(const Pcm& pcm, int bitRate) {
    if (bitRate % 32000 != 0 || bitRate < 32000 || bitRate > 448000) {
        throw std::runtime_error("Layer I: unsupported bit rate");
    }
    if (pcm.channels != 1 && pcm.channels != 2) {
        throw std::runtime_error("Layer I: mono or stereo only");
    }
    const int rateIndex = RateIndex(pcm.rate);
    const int channels = pcm.channels;
    const long long frames = (pcm.Frames() + kFrameSamples - 1) / kFrameSamples;
    std::vector<float> input(pcm.samples);
    input.resize(static_cast<std::size_t>(frames * kFrameSamples * channels), 0.0f);

    std::vector<AnalysisFilter> filters(static_cast<std::size_t>(channels));
    std::vector<std::uint8_t> out;
    BitWriter writer(out);
    // Frame lengths are whole 4-byte slots; the fraction is carried by the padding bit.
    const long slotsNum = 12L * bitRate;
    long remainder = 0;
    std::vector<double> sub(static_cast<std::size_t>(channels * kSlotsPerFrame * kBands));
    auto at = [&](int c, int s, int k) -> double& {
        return sub[static_cast<std::size_t>((c * kSlotsPerFrame + s) * kBands + k)];
    };
    for (long long f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            for (int s = 0; s < kSlotsPerFrame; ++s) {
                const long long first = f * kFrameSamples + s * kBands;
                filters[static_cast<std::size_t>(c)].Push(
                    &input[static_cast<std::size_t>(first * channels + c)], channels, &at(c, s, 0));
            }
        }
        remainder += slotsNum % pcm.rate;
        const bool padding = remainder >= pcm.rate;
        if (padding) remainder -= pcm.rate;
        const long frameBits = (slotsNum / pcm.rate + (padding ? 1 : 0)) * 32;

        std::vector<Band> bands(static_cast<std::size_t>(channels * kBands));
        for (int c = 0; c < channels; ++c) {
            for (int k = 0; k < kBands; ++k) {
                Band& band = bands[static_cast<std::size_t>(c * kBands + k)];
                for (int s = 0; s < kSlotsPerFrame; ++s) {
                    band.peak = std::max(band.peak, std::abs(at(c, s, k)));
                }
                while (band.scale > 0 && ScaleFactor(band.scale) < band.peak) --band.scale;
            }
        }
        AllocateBits(bands, frameBits - 32 - 4L * kBands * channels);

        const long start = writer.Used();
        writer.Put(0xFFF, 12);  // sync
        writer.Put(1, 1);       // MPEG-1
        writer.Put(3, 2);       // Layer I
        writer.Put(1, 1);       // no CRC
        writer.Put(static_cast<unsigned>(bitRate / 32000), 4);
        writer.Put(static_cast<unsigned>(rateIndex), 2);
        writer.Put(padding ? 1 : 0, 1);
        writer.Put(0, 1);                      // private
        writer.Put(channels == 2 ? 0 : 3, 2);  // stereo or mono
        writer.Put(0, 2);                      // mode extension
        writer.Put(0, 4);                      // copyright, original, emphasis
        for (int k = 0; k < kBands; ++k) {
            for (int c = 0; c < channels; ++c) {
                const int bits = bands[static_cast<std::size_t>(c * kBands + k)].bits;
                writer.Put(static_cast<unsigned>(bits ? bits - 1 : 0), 4);
            }
        }
        for (int k = 0; k < kBands; ++k) {
            for (int c = 0; c < channels; ++c) {
                const Band& band = bands[static_cast<std::size_t>(c * kBands + k)];
                if (band.bits) writer.Put(static_cast<unsigned>(band.scale), 6);
            }
        }
        for (int s = 0; s < kSlotsPerFrame; ++s) {
            for (int k = 0; k < kBands; ++k) {
                for (int c = 0; c < channels; ++c) {
                    const Band& band = bands[static_cast<std::size_t>(c * kBands + k)];
                    if (band.bits) writer.Put(Quantise(at(c, s, k), band), band.bits);
                }
            }
        }
        while (writer.Used() - start < frameBits) writer.Put(0, 1);
    }
    return out;
}

}  // namespace corvane::gen
