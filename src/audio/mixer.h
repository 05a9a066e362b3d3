#pragma once

#include <array>
#include <atomic>
#include <vector>

#include "audio/limiter.h"
#include "audio/master_tap.h"

namespace corvane::audio {

class Channel;

// True on a thread while it is inside Mixer::Render: lets a test prove that the audio path
// never allocates.
bool InAudioCallback();

// Sums the players into the master bus and limits it, run by whichever output currently owns it
// (PortAudio's callback, the null output's thread or the offline renderer). Lock-free: an output
// that is being replaced may still be inside its callback for a moment, and simply gets silence.
class Mixer {
public:
    Mixer(std::vector<Channel*> channels, int rate)
        : channels_(std::move(channels)), limiter_(rate) {}

    // Writes `frames` interleaved stereo frames to `out`; silence unless `owner` owns the mixer.
    void Render(int owner, float* out, int frames) noexcept;
    // Hands the mixer to `owner` and waits until the previous owner is out of Render.
    void SetOwner(int owner);
    // Buffers in which a playing player had not been decoded far enough.
    long long StarvedBuffers() const { return starved_.load(std::memory_order_relaxed); }
    const std::vector<Channel*>& Channels() const { return channels_; }
    // Any thread: whether some player is playing now.
    bool AnyPlaying() const;
    // Any thread: limits the master from the next buffer on (on by default).
    void SetLimiter(bool on) { limiterOn_.store(on, std::memory_order_relaxed); }
    bool LimiterOn() const { return limiterOn_.load(std::memory_order_relaxed); }
    // The master's fixed delay, on or off alike.
    int LatencyFrames() const { return limiter_.LatencyFrames(); }
    // For the meters: the master's largest absolute sample on `side` (0 left, 1 right) since
    // the last call, as it leaves the limiter.
    float TakeMasterPeak(int side) {
        return masterPeak_[side & 1].exchange(0.0f, std::memory_order_relaxed);
    }
    // The recorder's and broadcaster's copies of the master, after the limiter.
    MasterTaps& Taps() { return taps_; }

private:
    std::vector<Channel*> channels_;
    std::atomic<int> owner_{0};
    std::atomic<bool> busy_{false};
    std::atomic<long long> starved_{0};
    Limiter limiter_;  // audio thread only (whoever is inside Render)
    std::atomic<bool> limiterOn_{true};
    std::array<std::atomic<float>, 2> masterPeak_{};
    MasterTaps taps_;
};

}  // namespace corvane::audio
