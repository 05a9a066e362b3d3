#include "engine/audio_output.h"

#include <algorithm>
#include <chrono>

#include "engine/channel.h"
#include "engine/mixer.h"
#include "engine/player_worker.h"

namespace corvane::engine {

NullOutput::NullOutput(Mixer* mixer, int owner, int rate, int bufferFrames)
    : mixer_(mixer),
      owner_(owner),
      rate_(rate),
      bufferFrames_(bufferFrames),
      buffer_(static_cast<size_t>(bufferFrames) * 2) {}

NullOutput::~NullOutput() { Stop(); }

bool NullOutput::Start(QString*) {
    if (running_.exchange(true)) return true;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void NullOutput::Stop() {
    running_.store(false);
    if (thread_.joinable()) thread_.join();
}

void NullOutput::Run() {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(bufferFrames_) / rate_));
    auto next = Clock::now();
    while (running_.load(std::memory_order_relaxed)) {
        mixer_->Render(owner_, buffer_.data(), bufferFrames_);
        next += period;
        // After a stall (a suspended machine) carry on from now instead of racing to catch up.
        if (Clock::now() > next + 10 * period) next = Clock::now();
        std::this_thread::sleep_until(next);
    }
}

OfflineRenderer::OfflineRenderer(Mixer* mixer, int owner, DataSignal* signal,
                                 std::function<void()> wakeAll)
    : mixer_(mixer), owner_(owner), signal_(signal), wakeAll_(std::move(wakeAll)) {}

bool OfflineRenderer::AllReady(int frames) {
    return std::all_of(mixer_->Channels().begin(), mixer_->Channels().end(),
                       [frames](Channel* c) { return c->ReadyFor(frames); });
}

void OfflineRenderer::Render(float* out, int frames) {
    constexpr int kBlock = 4096;
    // A decoder that hangs must not hang a test: after this long, render what there is.
    constexpr auto kPatience = std::chrono::seconds(10);
    while (frames > 0) {
        const int n = std::min(frames, kBlock);
        const auto giveUp = std::chrono::steady_clock::now() + kPatience;
        uint64_t seen = signal_->Count();
        while (!AllReady(n) && std::chrono::steady_clock::now() < giveUp) {
            wakeAll_();
            seen = signal_->WaitPast(seen, 20);
        }
        mixer_->Render(owner_, out, n);
        out += 2 * n;
        frames -= n;
    }
}

}  // namespace corvane::engine
