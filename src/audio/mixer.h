#pragma once

#include <atomic>
#include <vector>

namespace corvane::audio {

class Channel;

// True on a thread while it is inside Mixer::Render: lets a test prove that the audio path
// never allocates.
bool InAudioCallback();

// Sums the players into the output, run by whichever output currently owns it (PortAudio's
// callback, the null output's thread or the offline renderer). Lock-free: an output that is
// being replaced may still be inside its callback for a moment, and simply gets silence.
class Mixer {
public:
    explicit Mixer(std::vector<Channel*> channels) : channels_(std::move(channels)) {}

    // Writes `frames` interleaved stereo frames to `out`; silence unless `owner` owns the mixer.
    void Render(int owner, float* out, int frames) noexcept;
    // Hands the mixer to `owner` and waits until the previous owner is out of Render.
    void SetOwner(int owner);
    // Buffers in which a playing player had not been decoded far enough.
    long long StarvedBuffers() const { return starved_.load(std::memory_order_relaxed); }
    const std::vector<Channel*>& Channels() const { return channels_; }
    // Any thread: whether some player is playing now.
    bool AnyPlaying() const;

private:
    std::vector<Channel*> channels_;
    std::atomic<int> owner_{0};
    std::atomic<bool> busy_{false};
    std::atomic<long long> starved_{0};
};

}  // namespace corvane::audio
