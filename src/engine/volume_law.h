#pragma once

namespace corvane::engine {

// Player volume and balance are in hundredths of a decibel: 0 full, -10000 silent.
inline constexpr int kSilentVolume = -10000;
inline constexpr int kFullVolume = 0;

// Nearest whole number, halves to even (the rounding every desk figure uses).
int RoundHalfEven(double value);

// The number of 1.1-fold steps above the quietest level for a slider value (0 to 100) and a
// fade factor (0 to 100); 0 to 33.
int StepCount(int slider, int fadeFactor);
// The volume of a step count: round(431 - 11000 / 1.1^(n+1)), clamped to -10000..0.
int VolumeForStep(int steps);
// The volume law in one: slider and fade factor to player volume. Slider 0 is not silence.
int LineVolume(int slider, int fadeFactor);
// The master line maps its slider linearly onto the system control's whole range.
int MasterControlValue(int slider, int range, int minimum);

}  // namespace corvane::engine
