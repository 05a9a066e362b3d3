#pragma once

#include <array>
#include <cstdint>

#include "audio/ring_buffer.h"

namespace corvane::audio {

// Carries a stereo stream from one device's callback to another device's callback, whose
// clock runs a little fast or slow against the first. A lock-free ring holds the frames; the
// consumer reads them through a cubic interpolator whose step (the ratio) is nudged by a PI
// controller so that the delay between what the two devices play stays where it was when the
// stream started: no drift, no growing delay, and no jumps (which would click).
//
// The delay is measured from the two callbacks' timestamps (the time the block's first frame
// will be heard, on one clock both share); without timestamps, from the ring's fill level.
// Producer and consumer each have one thread; neither locks, allocates or calls the system.
class ClockBridge {
public:
    // `primeFrames`: what the consumer waits for before it starts (and so the delay it keeps);
    // it must cover one block of each side.
    ClockBridge(int rate, int capacityFrames, int primeFrames);

    // Producer: appends `frames` frames, the first heard at `time` seconds (negative: unknown).
    // What does not fit is dropped (the consumer stalled; it starts over when it comes back).
    void Push(const float* in, int frames, double time) noexcept;

    // Consumer: fills `frames` frames, the first heard at `time` (negative: unknown). Silence
    // until primed, and again after the ring ran dry.
    void Pull(float* out, int frames, double time) noexcept;
    // Consumer, while no consumer runs: forgets the stream, so the next Pull primes afresh.
    void Restart() noexcept;

    // Consumer side, for tests and the figures.
    double Ratio() const { return ratio_; }
    // Delay the controller measured at the last Pull, less where it started, in seconds.
    double DelayError() const { return lastError_; }
    long long Dropouts() const { return dropouts_; }

private:
    bool NextFrame(float* left, float* right) noexcept;
    double MeasureDelay(double time) const noexcept;

    struct Stamp {
        int64_t index = 0;
        double time = -1.0;
    };

    const double rate_;
    const int prime_;
    StereoRing ring_;
    SpscQueue<Stamp, 16> stamps_;

    // Consumer only.
    Stamp lastStamp_;
    bool primed_ = false;
    bool haveSetpoint_ = false;
    double setpoint_ = 0.0;
    double filtered_ = 0.0;
    double integral_ = 0.0;
    double ratio_ = 1.0;
    double lastError_ = 0.0;
    double frac_ = 0.0;
    int64_t next_ = 0;                // ring index of the next frame to read
    std::array<float, 8> history_{};  // four stereo frames around the read position
    float fade_ = 0.0f;               // fades in after a start, so it does not click
    const float* region_ = nullptr;   // frames read from the ring but not yet committed
    int regionLeft_ = 0;
    int regionTaken_ = 0;
    long long dropouts_ = 0;
};

}  // namespace corvane::audio
