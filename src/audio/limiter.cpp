#include "audio/limiter.h"

#include <algorithm>
#include <cmath>

namespace corvane::audio {

namespace {
// The release heads for a little above 1 and stops at 1, so it arrives in a finite time
// (under three release constants from any depth) instead of creeping towards it forever.
constexpr float kReleaseAim = 1.05f;

uint32_t PowerOfTwoAtLeast(int n) {
    uint32_t size = 1;
    while (size < static_cast<uint32_t>(n)) size <<= 1;
    return size;
}
}  // namespace

Limiter::Limiter(int rate)
    : delay_(std::max(1, static_cast<int>(std::lround(kLookAheadSeconds * rate)))),
      window_(delay_ + 1),
      threshold_(static_cast<float>(std::pow(10.0, kCeilingDb / 20.0)) * 0.9999f),
      release_(static_cast<float>(1.0 - std::exp(-1.0 / (kReleaseSeconds * rate)))),
      delayLine_(2 * static_cast<size_t>(delay_), 0.0f),
      envelope_(static_cast<size_t>(window_), 1.0f),
      sum_(window_) {
    const uint32_t capacity = PowerOfTwoAtLeast(window_ + 1);
    peakValue_.resize(capacity);
    peakFrame_.resize(capacity);
    mask_ = capacity - 1;
}

void Limiter::PushPeak(float peak) noexcept {
    while (head_ != tail_ && peakValue_[(tail_ - 1) & mask_] <= peak) --tail_;
    peakValue_[tail_ & mask_] = peak;
    peakFrame_[tail_ & mask_] = frame_;
    ++tail_;
    while (peakFrame_[head_ & mask_] <= frame_ - window_) ++head_;
}

// Switched back on: the frames still in the delay line are in view again.
void Limiter::Refill() noexcept {
    head_ = tail_ = 0;
    const int64_t now = frame_;
    for (int k = 0; k < delay_; ++k) {
        const float* d = &delayLine_[2 * static_cast<size_t>((delayAt_ + k) % delay_)];
        frame_ = now - delay_ + k;
        PushPeak(std::max(std::fabs(d[0]), std::fabs(d[1])));
    }
    frame_ = now;
}

void Limiter::Process(float* buffer, int frames, bool on) noexcept {
    if (on && !wasOn_) Refill();
    wasOn_ = on;
    const float windowInverse = 1.0f / static_cast<float>(window_);
    for (int f = 0; f < frames; ++f) {
        float* io = buffer + 2 * static_cast<long>(f);
        const float left = io[0];
        const float right = io[1];
        float target = 1.0f;
        if (on) {
            PushPeak(std::max(std::fabs(left), std::fabs(right)));
            const float peak = peakValue_[head_ & mask_];
            if (peak > threshold_) target = threshold_ / peak;
        }
        const float released =
            level_ >= 1.0f ? 1.0f : std::min(1.0f, level_ + (kReleaseAim - level_) * release_);
        level_ = std::min(target, released);

        // The average over the window ramps down across the look-ahead and reaches the target
        // by the time the peak that set it comes out.
        float& slot = envelope_[static_cast<size_t>(envelopeAt_)];
        belowOne_ += static_cast<int>(level_ < 1.0f) - static_cast<int>(slot < 1.0f);
        sum_ += static_cast<double>(level_) - slot;
        slot = level_;
        if (++envelopeAt_ == window_) envelopeAt_ = 0;
        float gain = 1.0f;
        if (belowOne_ == 0)
            sum_ = window_;  // drop the rounding the running sum gathered
        else
            gain = static_cast<float>(sum_) * windowInverse;

        float* d = &delayLine_[2 * static_cast<size_t>(delayAt_)];
        io[0] = d[0] * gain;
        io[1] = d[1] * gain;
        d[0] = left;
        d[1] = right;
        if (++delayAt_ == delay_) delayAt_ = 0;
        ++frame_;
    }
}

}  // namespace corvane::audio
