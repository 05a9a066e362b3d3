#pragma once

// Two devices simulated on a fake clock: a producer at the nominal rate pushes blocks into a
// ClockBridge, a consumer whose clock runs `speed` times as fast pulls them. The right channel
// carries the stream's frame index (modulo a second, scaled), so the index each pulled frame
// came from, and hence the delay between the two devices, is read back from the output itself.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "audio/clock_bridge.h"

namespace corvane::testing {

struct DriftRun {
    double maxDeviation = 0;  // seconds: the delay's largest distance from where it started
    double lastDeviation = 0;
    float largestStep = 0;  // between neighbouring samples of the 440 Hz tone on the left
    long long dropouts = 0;
    double ratio = 1;
};

inline DriftRun SimulateDrift(double speed, double seconds, int block = 512, int rate = 44100) {
    constexpr double kScale = 1e-5;
    audio::ClockBridge bridge(rate, 32768, 2 * block + 256);
    std::vector<float> in(2 * static_cast<size_t>(block));
    std::vector<float> out(2 * static_cast<size_t>(block));
    long long pushed = 0;
    long long pulls = 0;
    double lastIndex = -1;
    double startDelay = 0;
    bool started = false;
    float previous = 0;
    DriftRun run;
    for (;;) {
        const double producerTime = static_cast<double>(pushed) / rate;
        const double consumerTime = 0.003 + static_cast<double>(pulls * block) / (rate * speed);
        if (std::min(producerTime, consumerTime) > seconds) break;
        if (producerTime <= consumerTime) {
            for (int i = 0; i < block; ++i) {
                const long long n = pushed + i;
                in[2 * i] =
                    static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 440.0 * n / rate));
                in[2 * i + 1] = static_cast<float>(static_cast<double>(n % rate) * kScale);
            }
            bridge.Push(in.data(), block, producerTime);
            pushed += block;
            continue;
        }
        bridge.Pull(out.data(), block, consumerTime);
        ++pulls;
        if (pulls < 20) continue;  // primed and faded in by then
        for (int i = 0; i < block; ++i) {
            if (started || i > 0)
                run.largestStep = std::max(run.largestStep, std::fabs(out[2 * i] - previous));
            previous = out[2 * i];
        }
        // The first frame of the block whose index is clear of the wrap at each second: the
        // interpolator bends the frames next to it, so the two after it must step evenly.
        for (int i = 0; i + 2 < block; ++i) {
            const double modulo = out[2 * i + 1] / kScale;
            const double next = out[2 * i + 3] / kScale;
            const double after = out[2 * i + 5] / kScale;
            if (std::fabs(next - modulo - 1) > 0.02 || std::fabs(after - next - 1) > 0.02) continue;
            const double expected = lastIndex < 0 ? modulo : lastIndex + block + i;
            const double index = std::round((expected - modulo) / rate) * rate + modulo - i;
            lastIndex = index;
            const double delay = consumerTime - index / rate;
            if (!started) startDelay = delay;
            started = true;
            run.lastDeviation = delay - startDelay;
            run.maxDeviation = std::max(run.maxDeviation, std::fabs(run.lastDeviation));
            break;
        }
    }
    run.dropouts = bridge.Dropouts();
    run.ratio = bridge.Ratio();
    return run;
}

}  // namespace corvane::testing
