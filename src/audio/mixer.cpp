#include "audio/mixer.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "audio/channel.h"
#include "audio/clock_bridge.h"

namespace corvane::audio {

namespace {
thread_local bool inAudioCallback = false;

struct AudioCallbackScope {
    AudioCallbackScope() { inAudioCallback = true; }
    ~AudioCallbackScope() { inAudioCallback = false; }
};
}  // namespace

bool InAudioCallback() { return inAudioCallback; }

Mixer::Mixer(std::vector<Channel*> channels, int rate)
    : channels_(std::move(channels)),
      rate_(rate),
      limiter_(rate),
      cue_(2 * kChunk),
      cueDelay_(2 * static_cast<size_t>(limiter_.LatencyFrames())) {}

void Mixer::Render(int owner, float* out, int frames, float* phones, double time) noexcept {
    AudioCallbackScope scope;
    std::fill(out, out + 2 * static_cast<long>(frames), 0.0f);
    if (phones != nullptr) std::fill(phones, phones + 2 * static_cast<long>(frames), 0.0f);
    if (owner_.load(std::memory_order_seq_cst) != owner) return;
    if (busy_.exchange(true, std::memory_order_seq_cst)) return;
    if (owner_.load(std::memory_order_seq_cst) == owner) {
        ClockBridge* bridge = bridge_.load(std::memory_order_acquire);
        const bool cueOn = phones != nullptr || bridge != nullptr;
        for (int at = 0; at < frames; at += kChunk) {
            const int n = std::min(kChunk, frames - at);
            float* cue = cueOn ? cue_.data() : nullptr;
            RenderChunk(out + 2 * at, n, cue);
            if (cue == nullptr) continue;
            if (phones != nullptr) std::copy(cue, cue + 2 * n, phones + 2 * at);
            if (bridge != nullptr)
                bridge->Push(cue, n, time < 0 ? time : time + static_cast<double>(at) / rate_);
        }
    }
    busy_.store(false, std::memory_order_release);
}

void Mixer::RenderChunk(float* out, int frames, float* cue) noexcept {
    if (cue != nullptr) std::fill(cue, cue + 2 * frames, 0.0f);
    const int64_t masterFrame = taps_.MasterFrames();
    for (Channel* channel : channels_) channel->BeginBuffer(masterFrame);
    for (Channel* channel : channels_)
        if (!channel->MixInto(out, frames, cue)) starved_.fetch_add(1, std::memory_order_relaxed);
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
    if (cue != nullptr) MixPhones(out, cue, frames);
}

void Mixer::MixPhones(const float* master, float* cue, int frames) noexcept {
    const float mix = std::clamp(cueMix_.load(std::memory_order_relaxed), 0.0f, 1.0f);
    const float level = std::clamp(phonesLevel_.load(std::memory_order_relaxed), 0.0f, 1.0f);
    const float mixStep = (mix - mixNow_) / static_cast<float>(frames);
    const float levelStep = (level - levelNow_) / static_cast<float>(frames);
    const int delaySize = static_cast<int>(cueDelay_.size());
    for (int i = 0; i < frames; ++i) {
        const float m = mixNow_ + mixStep * static_cast<float>(i + 1);
        const float g = levelNow_ + levelStep * static_cast<float>(i + 1);
        for (int side = 0; side < 2; ++side) {
            const float delayed = cueDelay_[cueDelayAt_ + side];
            cueDelay_[cueDelayAt_ + side] = cue[2 * i + side];
            // Headphones have no limiter of their own: a loud cue bus is clipped, not wrapped.
            cue[2 * i + side] =
                std::clamp(g * ((1.0f - m) * delayed + m * master[2 * i + side]), -1.0f, 1.0f);
        }
        cueDelayAt_ += 2;
        if (cueDelayAt_ == delaySize) cueDelayAt_ = 0;
    }
    mixNow_ = mix;
    levelNow_ = level;
}

void Mixer::PullPhones(ClockBridge* bridge, float* out, int frames, double time) noexcept {
    AudioCallbackScope scope;
    bridge->Pull(out, frames, time);
}

void Mixer::SetBridge(ClockBridge* bridge) {
    bridge_.store(bridge, std::memory_order_seq_cst);
    while (busy_.load(std::memory_order_seq_cst)) std::this_thread::yield();
}

bool Mixer::AnyPlaying() const {
    // A tap counts as playing: a recording or broadcast needs the clock to run through silence.
    return taps_.AnyAttached() || std::any_of(channels_.begin(), channels_.end(),
                                              [](const Channel* c) { return c->Playing(); });
}

void Mixer::SetOwner(int owner) {
    owner_.store(owner, std::memory_order_seq_cst);
    while (busy_.load(std::memory_order_seq_cst)) std::this_thread::yield();
}

}  // namespace corvane::audio
