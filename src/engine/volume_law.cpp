#include "engine/volume_law.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace corvane::engine {

namespace {

constexpr int kMaxSteps = 33;

// The attenuation is built by repeated division, exactly as the law defines it, so the table
// matches the law's own rounding at every step. Built once: a crossfader step runs the law seven
// times.
std::array<int, kMaxSteps + 1> BuildVolumeTable() {
    std::array<int, kMaxSteps + 1> table{};
    for (int n = 0; n <= kMaxSteps; ++n) {
        double level = 11000.0;
        for (int i = 0; i <= n; ++i) level /= 1.1;
        level -= 431.0;
        int volume = RoundHalfEven(-level);
        if (volume > kFullVolume) volume = kFullVolume;
        if (volume < kSilentVolume) volume = kSilentVolume;
        table[n] = volume;
    }
    return table;
}

}  // namespace

int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

int StepCount(int slider, int fadeFactor) {
    // The product is a 16-bit figure in the law; with both inputs within 0..100 it always fits.
    const auto product = static_cast<int16_t>(slider * fadeFactor);
    return RoundHalfEven(product / 300.0);
}

int VolumeForStep(int steps) {
    static const std::array<int, kMaxSteps + 1> table = BuildVolumeTable();
    if (steps < 0) steps = 0;
    if (steps > kMaxSteps) steps = kMaxSteps;
    return table[steps];
}

int LineVolume(int slider, int fadeFactor) { return VolumeForStep(StepCount(slider, fadeFactor)); }

int MasterControlValue(int slider, int range, int minimum) {
    return RoundHalfEven(static_cast<double>(range) / 100.0 * slider + minimum);
}

}  // namespace corvane::engine
