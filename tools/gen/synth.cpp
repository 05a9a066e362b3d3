#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane::gen {

namespace {

constexpr int kRate = 44100;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

double KeyFrequency(int key) { return 440.0 * std::exp2((key - 69) / 12.0); }

// One cycle of a few harmonics, read with linear interpolation at a fixed-point phase: cheap,
// and free of aliasing for the note ranges used here.
class Wavetable {
public:
    static constexpr int kBits = 11;
    static constexpr double kPhaseUnit = 4294967296.0;  // one cycle of a 32-bit phase

    explicit Wavetable(std::vector<double> harmonics) : table_((1 << kBits) + 1) {
        for (std::size_t i = 0; i < table_.size(); ++i) {
            double v = 0.0;
            for (std::size_t h = 0; h < harmonics.size(); ++h) {
                v += harmonics[h] *
                     std::sin(kTwoPi * static_cast<double>((h + 1) * i) / (1 << kBits));
            }
            table_[i] = static_cast<float>(v);
        }
    }
    float At(std::uint32_t phase) const {
        constexpr int kFracBits = 32 - kBits;
        const std::uint32_t i = phase >> kFracBits;
        const float frac = static_cast<float>(phase & ((1u << kFracBits) - 1)) *
                           (1.0f / static_cast<float>(1u << kFracBits));
        return table_[i] + frac * (table_[i + 1] - table_[i]);
    }

private:
    std::vector<float> table_;
};

struct Voice {
    const Wavetable* table;
    double frequency;
    float gain;
    float pan;       // -1 left .. 1 right
    double attack;   // seconds
    double hold;     // seconds at full level before the release
    double release;  // seconds, falling along a parabola to silence
};

// Adds one enveloped oscillator to `out` starting at frame `start`. The envelope is walked in
// its three segments so the inner loops stay free of branches.
void AddVoice(std::vector<float>& out, long long start, const Voice& v) {
    const long long total = static_cast<long long>(out.size()) / 2;
    const long long attack = std::max(1LL, std::llround(v.attack * kRate));
    const long long hold = std::max(0LL, std::llround(v.hold * kRate));
    const long long release = std::max(1LL, std::llround(v.release * kRate));
    const float left = v.gain * std::sqrt(0.5f * (1.0f - v.pan));
    const float right = v.gain * std::sqrt(0.5f * (1.0f + v.pan));
    const auto step = static_cast<std::uint32_t>(v.frequency / kRate * Wavetable::kPhaseUnit);
    std::uint32_t phase = 0;
    long long at = start;
    auto run = [&](long long frames, auto envelope) {
        const long long from = std::max(at, 0LL);
        const long long to = std::min(at + frames, total);
        phase += static_cast<std::uint32_t>(std::max(0LL, from - at)) * step;
        float* dst = out.data() + 2 * from;
        for (long long i = from - at; i < to - at; ++i) {
            const float s = v.table->At(phase) * envelope(static_cast<float>(i));
            dst[0] += left * s;
            dst[1] += right * s;
            dst += 2;
            phase += step;
        }
        at += frames;
    };
    const float attackRate = 1.0f / static_cast<float>(attack);
    const float releaseRate = 1.0f / static_cast<float>(release);
    run(attack, [=](float i) { return i * attackRate; });
    run(hold, [](float) { return 1.0f; });
    run(release, [=](float i) {
        const float r = 1.0f - i * releaseRate;
        return r * r;
    });
}

void AddKick(std::vector<float>& out, long long start, float gain) {
    const long long total = static_cast<long long>(out.size()) / 2;
    const double sweepDecay = std::exp(-1.0 / (0.035 * kRate));
    const double levelDecay = std::exp(-1.0 / (0.18 * kRate));
    double phase = 0.0;
    double sweep = 90.0;
    double level = gain;
    for (long long i = 0; i < kRate / 2 && start + i < total; ++i) {
        phase += (45.0 + sweep) / kRate;
        sweep *= sweepDecay;
        level *= levelDecay;
        const auto s = static_cast<float>(std::sin(kTwoPi * phase) * level);
        out[static_cast<std::size_t>(2 * (start + i))] += s;
        out[static_cast<std::size_t>(2 * (start + i) + 1)] += s;
    }
}

// Noise through a one-pole high-pass (and, for the snare, a low-pass too), decaying fast.
void AddNoiseHit(std::vector<float>& out, long long start, float gain, double decay,
                 double highPass, double lowPass, float pan, Rng& rng) {
    const long long total = static_cast<long long>(out.size()) / 2;
    const auto hp = static_cast<float>(std::exp(-kTwoPi * highPass / kRate));
    const auto lp = static_cast<float>(1.0 - std::exp(-kTwoPi * lowPass / kRate));
    const float left = gain * std::sqrt(0.5f * (1.0f - pan));
    const float right = gain * std::sqrt(0.5f * (1.0f + pan));
    const auto decayStep = static_cast<float>(std::exp(-1.0 / (decay * kRate)));
    float env = 1.0f;
    float low = 0.0f;
    float smooth = 0.0f;
    const long long length = static_cast<long long>(decay * 6 * kRate);
    for (long long i = 0; i < length && start + i < total; ++i) {
        const float noise = rng.Bipolar();
        low = hp * low + (1.0f - hp) * noise;
        smooth += lp * ((noise - low) - smooth);
        env *= decayStep;
        out[static_cast<std::size_t>(2 * (start + i))] += left * smooth * env;
        out[static_cast<std::size_t>(2 * (start + i) + 1)] += right * smooth * env;
    }
}

// Ping-pong echo: each repeat swaps sides and loses some brightness.
void AddEcho(std::vector<float>& bus, double delaySeconds, float feedback) {
    const auto delay = static_cast<std::size_t>(delaySeconds * kRate) * 2;
    float toneL = 0.0f;
    float toneR = 0.0f;
    for (std::size_t i = delay; i + 1 < bus.size(); i += 2) {
        toneL += 0.5f * (bus[i - delay + 1] - toneL);
        toneR += 0.5f * (bus[i - delay] - toneR);
        bus[i] += feedback * toneL;
        bus[i + 1] += feedback * toneR;
    }
}

void Master(std::vector<float>& mix) {
    const std::size_t frames = mix.size() / 2;
    const double fadeIn = 1.5 * kRate;
    const double fadeOut = 5.0 * kRate;
    for (std::size_t i = 0; i < frames; ++i) {
        const auto t = static_cast<double>(i);
        const double left = static_cast<double>(frames - i);
        double gain = 1.0;
        if (t < fadeIn) gain = 0.5 - 0.5 * std::cos(std::numbers::pi * t / fadeIn);
        if (left < fadeOut) gain *= 0.5 - 0.5 * std::cos(std::numbers::pi * left / fadeOut);
        mix[2 * i] *= static_cast<float>(gain);
        mix[2 * i + 1] *= static_cast<float>(gain);
    }
    // Loudness from the mean square above ~100 Hz (a rough stand-in for K-weighting), then
    // limited so the peak stays at or below -1.5 dBFS.
    double sum = 0.0;
    float peak = 0.0f;
    float lowL = 0.0f;
    float lowR = 0.0f;
    const auto a = static_cast<float>(1.0 - std::exp(-kTwoPi * 100.0 / kRate));
    for (std::size_t i = 0; i < frames; ++i) {
        lowL += a * (mix[2 * i] - lowL);
        lowR += a * (mix[2 * i + 1] - lowR);
        const double l = mix[2 * i] - lowL;
        const double r = mix[2 * i + 1] - lowR;
        sum += l * l + r * r;
        peak = std::max({peak, std::abs(mix[2 * i]), std::abs(mix[2 * i + 1])});
    }
    const double loudness = -0.691 + 10.0 * std::log10(std::max(sum / frames, 1e-12));
    double gain = std::pow(10.0, (-14.0 - loudness) / 20.0);
    gain = std::min(gain, std::pow(10.0, -1.5 / 20.0) / std::max(peak, 1e-6f));
    for (float& s : mix) s *= static_cast<float>(gain);
}

}  // namespace

namespace {

// The dry mix of every note, `frames` long.
std::vector<float> Play(const std::vector<NoteEvent>& notes, double bpm, long long frames,
                        std::uint64_t seed) {
    static const Wavetable kPad({1.0, 0.5, 0.3, 0.2, 0.12, 0.08, 0.05});
    static const Wavetable kBass({1.0, 0.35, 0.1});
    static const Wavetable kBell({1.0, 0.0, 0.35, 0.0, 0.15, 0.0, 0.05});
    static const Wavetable kFlute({1.0, 0.2, 0.08});

    const double beatSeconds = 60.0 / bpm;
    std::vector<float> mix(static_cast<std::size_t>(frames * 2), 0.0f);
    std::vector<float> echoBus(mix.size(), 0.0f);
    Rng rng(seed);
    float padPan = -0.6f;
    for (const NoteEvent& n : notes) {
        const auto start = static_cast<long long>(n.beat * beatSeconds * kRate);
        const double length = n.length * beatSeconds;
        const double f = KeyFrequency(n.key);
        const float v = n.velocity;
        switch (n.part) {
            case Part::Pad:
                // Two slightly detuned voices spread apart make the pad wide and slow-moving.
                padPan = -padPan;
                AddVoice(mix, start, {&kPad, f * 1.003, 0.05f * v, padPan, 1.2, length - 0.6, 2.0});
                AddVoice(mix, start,
                         {&kPad, f * 0.997, 0.05f * v, -padPan, 1.2, length - 0.6, 2.0});
                break;
            case Part::Bass:
                AddVoice(mix, start,
                         {&kBass, f, 0.32f * v, 0.0f, 0.01, length * 0.7, length * 0.5});
                break;
            case Part::Arp:
                AddVoice(echoBus, start,
                         {&kBell, f, 0.07f * v, rng.Bipolar() * 0.5f, 0.004, 0.02, length * 2});
                break;
            case Part::Lead:
                AddVoice(echoBus, start, {&kFlute, f, 0.11f * v, 0.1f, 0.06, length * 0.8, 0.4});
                break;
            case Part::Kick:
                AddKick(mix, start, 0.55f * v);
                break;
            case Part::Hat:
                AddNoiseHit(mix, start, 0.3f * v, 0.025, 7000.0, 16000.0, 0.3f, rng);
                break;
            case Part::Snare:
                AddNoiseHit(mix, start, 0.5f * v, 0.09, 900.0, 6000.0, -0.1f, rng);
                break;
        }
    }
    AddEcho(echoBus, beatSeconds * 0.75, 0.35f);
    for (std::size_t i = 0; i < echoBus.size(); ++i) mix[i] += echoBus[i];
    return mix;
}

}  // namespace

Pcm Render(const std::vector<NoteEvent>& notes, double bpm, double seconds, std::uint64_t seed) {
    Pcm pcm{kRate, 2, Play(notes, bpm, FramesFor(seconds, kRate), seed)};
    Master(pcm.samples);
    return pcm;
}

Pcm RenderLooped(const std::vector<NoteEvent>& notes, double bpm, double loopSeconds,
                 double seconds, std::uint64_t seed) {
    constexpr double kTail = 4.0;  // longer than any release or echo worth hearing
    const auto loop = static_cast<std::size_t>(FramesFor(loopSeconds, kRate) * 2);
    std::vector<float> once = Play(notes, bpm, FramesFor(loopSeconds + kTail, kRate), seed);
    for (std::size_t i = loop; i < once.size(); ++i) once[i % loop] += once[i];
    Pcm pcm{kRate, 2, {}};
    pcm.samples.resize(static_cast<std::size_t>(FramesFor(seconds, kRate) * 2));
    for (std::size_t i = 0; i < pcm.samples.size(); ++i) pcm.samples[i] = once[i % loop];
    Master(pcm.samples);
    return pcm;
}

}  // namespace corvane::gen
