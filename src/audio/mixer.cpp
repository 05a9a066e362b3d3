#include "audio/mixer.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "audio/channel.h"

namespace corvane::audio {

namespace {
thread_local bool inAudioCallback = false;

struct AudioCallbackScope {
    AudioCallbackScope() { inAudioCallback = true; }
    ~AudioCallbackScope() { inAudioCallback = false; }
};
}  // namespace

bool InAudioCallback() { return inAudioCallback; }

void Mixer::Render(int owner, float* out, int frames) noexcept {
    AudioCallbackScope scope;
    std::fill(out, out + 2 * static_cast<long>(frames), 0.0f);
    if (owner_.load(std::memory_order_seq_cst) != owner) return;
    if (busy_.exchange(true, std::memory_order_seq_cst)) return;
    if (owner_.load(std::memory_order_seq_cst) == owner) {
        const int64_t masterFrame = taps_.MasterFrames();
        for (Channel* channel : channels_) channel->BeginBuffer(masterFrame);
        for (Channel* channel : channels_)
            if (!channel->MixInto(out, frames)) starved_.fetch_add(1, std::memory_order_relaxed);
        limiter_.Process(out, frames, limiterOn_.load(std::memory_order_relaxed));
        float left = 0.0f;
        float right = 0.0f;
        for (int i = 0; i < frames; ++i) {
            left = std::max(left, std::fabs(out[2 * i]));
            right = std::max(right, std::fabs(out[2 * i + 1]));
        }
        PublishPeak(masterPeak_[0], left);
        PublishPeak(masterPeak_[1], right);
        taps_.Feed(out, frames);
    }
    busy_.store(false, std::memory_order_release);
}

bool Mixer::AnyPlaying() const {
    return std::any_of(channels_.begin(), channels_.end(),
                       [](const Channel* c) { return c->Playing(); });
}

void Mixer::SetOwner(int owner) {
    owner_.store(owner, std::memory_order_seq_cst);
    while (busy_.load(std::memory_order_seq_cst)) std::this_thread::yield();
}

}  // namespace corvane::audio
