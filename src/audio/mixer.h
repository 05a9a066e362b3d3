#pragma once

#include <array>
#include <atomic>
#include <vector>

#include "audio/limiter.h"
#include "audio/master_tap.h"

namespace corvane::audio {

class Channel;
class ClockBridge;

// True on a thread while it is inside Mixer::Render: lets a test prove that the audio path
// never allocates.
bool InAudioCallback();

// Sums the players into the master bus and limits it, run by whichever output currently owns it
// (PortAudio's callback, the null output's thread or the offline renderer). Lock-free: an output
// that is being replaced may still be inside its callback for a moment, and simply gets silence.
class Mixer {
public:
    Mixer(std::vector<Channel*> channels, int rate);

    // Writes `frames` interleaved stereo frames to `out`; silence unless `owner` owns the mixer.
    // With `phones`, or while a bridge is set, the headphone mix is made too: written to
    // `phones`, and pushed into the bridge with `time`, when the block's first frame is heard
    // (negative: unknown). Without either, the cue bus is not computed at all.
    void Render(int owner, float* out, int frames, float* phones = nullptr,
                double time = -1.0) noexcept;
    // The headphone stream of a second device: pulls what Render pushed into `bridge`.
    static void PullPhones(ClockBridge* bridge, float* out, int frames, double time) noexcept;
    // Any thread: feeds `bridge` from the next buffer on (null: none); returns once the
    // audio thread no longer uses the old one.
    void SetBridge(ClockBridge* bridge);
    // Any thread: the headphone mix, from 0 (the cue bus only) to 1 (the master only), and
    // its linear level; both glide over one buffer.
    void SetCueMix(float mix) { cueMix_.store(mix, std::memory_order_relaxed); }
    void SetPhonesLevel(float level) { phonesLevel_.store(level, std::memory_order_relaxed); }
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
    // Frames rendered at a time: the cue bus's scratch space.
    static constexpr int kChunk = 4096;

    void RenderChunk(float* out, int frames, float* cue) noexcept;
    // Turns the cue bus in `cue` into the headphone mix, in place.
    void MixPhones(const float* master, float* cue, int frames) noexcept;

    std::vector<Channel*> channels_;
    int rate_;
    std::atomic<int> owner_{0};
    std::atomic<bool> busy_{false};
    std::atomic<long long> starved_{0};
    Limiter limiter_;  // audio thread only (whoever is inside Render)
    std::atomic<bool> limiterOn_{true};
    std::array<std::atomic<float>, 2> masterPeak_{};
    MasterTaps taps_;

    std::atomic<ClockBridge*> bridge_{nullptr};
    std::atomic<float> cueMix_{0.0f};
    std::atomic<float> phonesLevel_{1.0f};
    // Audio thread only. The cue bus is delayed as the limiter delays the master, so that a
    // line heard on both lines up.
    std::vector<float> cue_;
    std::vector<float> cueDelay_;
    int cueDelayAt_ = 0;
    float mixNow_ = 0.0f;
    float levelNow_ = 1.0f;
};

}  // namespace corvane::audio
