#pragma once

#include <cstdint>
#include <vector>

namespace corvane::audio {

// Look-ahead peak limiter for the interleaved stereo master bus. The signal is delayed by a
// fixed look-ahead; the gain ramps down over that look-ahead so that it has reached its target
// when the peak comes out (no sample exceeds the ceiling), holds while the peak is in view,
// then recovers over the release. Below the threshold the gain is exactly 1, so such
// material passes bit-exact, only delayed. Everything is allocated in the constructor;
// Process never allocates, locks or calls the system.
class Limiter {
public:
    static constexpr double kCeilingDb = -1.0;
    static constexpr double kLookAheadSeconds = 0.0015;
    static constexpr double kReleaseSeconds = 0.1;

    explicit Limiter(int rate);

    // Limits `frames` interleaved stereo frames of `buffer` in place. Off, the signal is only
    // delayed (the latency never changes, so switching does not jump) and any gain reduction
    // left recovers over the release.
    void Process(float* buffer, int frames, bool on) noexcept;
    // The fixed delay, in frames.
    int LatencyFrames() const { return delay_; }

private:
    void PushPeak(float peak) noexcept;
    void Refill() noexcept;

    int delay_;        // look-ahead in frames
    int window_;       // delay_ + 1: the frames in view of each output frame
    float threshold_;  // linear, a hair below the ceiling, so rounding cannot overshoot it
    float release_;    // per-frame coefficient of the release

    std::vector<float> delayLine_;  // delay_ stereo frames
    int delayAt_ = 0;
    // Peaks of the frames in view, as a monotonic deque: each value is larger than every one
    // behind it, so the front is the window's maximum.
    std::vector<float> peakValue_;
    std::vector<int64_t> peakFrame_;
    uint32_t mask_ = 0;
    uint32_t head_ = 0;
    uint32_t tail_ = 0;
    int64_t frame_ = 0;  // frames taken in
    bool wasOn_ = true;
    // Envelope (target gain with release) over the window, and its running box average that
    // turns each step down into a ramp.
    std::vector<float> envelope_;
    int envelopeAt_ = 0;
    float level_ = 1.0f;
    double sum_ = 0.0;
    int belowOne_ = 0;  // envelope values under 1 in the window: 0 means the gain is exactly 1
};

}  // namespace corvane::audio
