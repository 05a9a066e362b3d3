#include "audio/clock_bridge.h"

#include <algorithm>
#include <cmath>

namespace corvane::audio {

namespace {
// The controller: a critically damped loop of about 30 s period, so a correction is far too
// slow to hear as a pitch change (the ratio moves by hundredths of a percent), yet a clock
// 0.1 % off is caught within a couple of milliseconds. The measured delay is smoothed first:
// callbacks come with a jitter of their own.
constexpr double kOmega = 0.2;  // rad/s
constexpr double kP = 2 * kOmega;
constexpr double kI = kOmega * kOmega;
constexpr double kSmoothingSeconds = 0.5;
// Clocks of real devices differ by well under this.
constexpr double kMaxCorrection = 0.005;
// A delay this far from where it started means frames were lost (a stalled callback): start
// over rather than race to catch up.
constexpr double kResyncSeconds = 0.25;
constexpr double kFadeSeconds = 0.01;

// Catmull-Rom through four points, at `t` between the middle two.
float Cubic(float a, float b, float c, float d, float t) {
    return b + 0.5f * t * (c - a + t * (2 * a - 5 * b + 4 * c - d + t * (3 * (b - c) + d - a)));
}
}  // namespace

ClockBridge::ClockBridge(int rate, int capacityFrames, int primeFrames)
    : rate_(rate), prime_(primeFrames), ring_(capacityFrames) {}

void ClockBridge::Push(const float* in, int frames, double time) noexcept {
    const int64_t first = ring_.WriteIndex();
    int done = 0;
    while (done < frames) {
        int room = 0;
        float* to = ring_.WriteRegion(&room);
        const int n = std::min(room, frames - done);
        if (n <= 0) break;
        std::copy(in + 2 * done, in + 2 * (done + n), to);
        ring_.CommitWrite(n);
        done += n;
    }
    // A full queue loses a stamp: the ones before it still map frames to times.
    if (time >= 0 && done > 0) stamps_.Push({first, time});
}

void ClockBridge::Restart() noexcept {
    ring_.CommitRead(ring_.AvailableFrames());
    while (stamps_.Peek() != nullptr) stamps_.Pop();
    lastStamp_ = {};
    primed_ = false;
    integral_ = 0.0;
    ratio_ = 1.0;
    lastError_ = 0.0;
    region_ = nullptr;
    regionLeft_ = 0;
    regionTaken_ = 0;
}

bool ClockBridge::NextFrame(float* left, float* right) noexcept {
    if (regionLeft_ == 0) {
        ring_.CommitRead(regionTaken_);
        regionTaken_ = 0;
        region_ = ring_.ReadRegion(&regionLeft_);
        if (regionLeft_ == 0) return false;
    }
    *left = region_[0];
    *right = region_[1];
    region_ += 2;
    --regionLeft_;
    ++regionTaken_;
    ++next_;
    return true;
}

double ClockBridge::MeasureDelay(double time) const noexcept {
    // The stream index the next output frame is read at: between the second and third of the
    // four frames held.
    const double position = static_cast<double>(next_ - 3) + frac_;
    if (time >= 0 && lastStamp_.time >= 0)
        return time -
               (lastStamp_.time + (position - static_cast<double>(lastStamp_.index)) / rate_);
    const int64_t written = ring_.ReadIndex() + ring_.AvailableFrames();
    return (static_cast<double>(written) - position) / rate_;
}

void ClockBridge::Pull(float* out, int frames, double time) noexcept {
    while (const Stamp* stamp = stamps_.Peek()) {
        lastStamp_ = *stamp;
        stamps_.Pop();
    }
    if (!primed_) {
        const int available = ring_.AvailableFrames();
        if (available < prime_) {
            std::fill(out, out + 2 * static_cast<long>(frames), 0.0f);
            return;
        }
        // Only the newest frames: anything older is late already.
        ring_.CommitRead(available - prime_);
        next_ = ring_.ReadIndex();
        history_.fill(0.0f);
        frac_ = 0.0;
        fade_ = 0.0f;
        filtered_ = 0.0;
        haveSetpoint_ = false;
        primed_ = true;  // the integral stays: it knows how the two clocks differ
    }
    const double delay = MeasureDelay(time);
    if (!haveSetpoint_) {
        setpoint_ = delay;
        haveSetpoint_ = true;
    }
    const double error = delay - setpoint_;
    lastError_ = error;
    if (std::fabs(error) > kResyncSeconds) {
        ++dropouts_;
        primed_ = false;
        std::fill(out, out + 2 * static_cast<long>(frames), 0.0f);
        return;
    }
    const double dt = frames / rate_;
    filtered_ += (error - filtered_) * std::min(1.0, dt / kSmoothingSeconds);
    integral_ = std::clamp(integral_ + filtered_ * dt, -kMaxCorrection / kI, kMaxCorrection / kI);
    ratio_ = 1.0 + std::clamp(kP * filtered_ + kI * integral_, -kMaxCorrection, kMaxCorrection);

    const float fadeStep = static_cast<float>(1.0 / (kFadeSeconds * rate_));
    for (int i = 0; i < frames; ++i) {
        const float t = static_cast<float>(frac_);
        const auto& h = history_;
        out[2 * i] = fade_ * Cubic(h[0], h[2], h[4], h[6], t);
        out[2 * i + 1] = fade_ * Cubic(h[1], h[3], h[5], h[7], t);
        fade_ = std::min(1.0f, fade_ + fadeStep);
        frac_ += ratio_;
        while (frac_ >= 1.0) {
            frac_ -= 1.0;
            float left = 0.0f;
            float right = 0.0f;
            if (!NextFrame(&left, &right)) {
                // Ran dry: the producer stopped or fell behind. Start over once it is back.
                ++dropouts_;
                primed_ = false;
                std::fill(out + 2 * (i + 1), out + 2 * static_cast<long>(frames), 0.0f);
                i = frames;
                break;
            }
            std::copy(history_.begin() + 2, history_.end(), history_.begin());
            history_[6] = left;
            history_[7] = right;
        }
    }
    ring_.CommitRead(regionTaken_);
    regionTaken_ = 0;
    regionLeft_ = 0;
    region_ = nullptr;
}

}  // namespace corvane::audio
