#include "audio/audio_output.h"

#include <time.h>

#include <algorithm>
#include <chrono>

#include "audio/channel.h"
#include "audio/mixer.h"
#include "audio/player_worker.h"

namespace corvane::audio {

namespace {
std::chrono::nanoseconds ThreadCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}
}  // namespace

NullOutput::NullOutput(Mixer* mixer, int owner, int rate, int bufferFrames)
    : mixer_(mixer),
      owner_(owner),
      rate_(rate),
      bufferFrames_(bufferFrames),
      buffer_(static_cast<size_t>(bufferFrames) * 2) {}

NullOutput::~NullOutput() { Stop(); }

bool NullOutput::Start(QString*) {
    {
        std::lock_guard lock(mutex_);
        if (running_) return true;
        running_ = true;
    }
    thread_ = std::thread([this] { Run(); });
    return true;
}

void NullOutput::Stop() {
    {
        std::lock_guard lock(mutex_);
        running_ = false;
    }
    cv_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void NullOutput::PlayerStarted() {
    {
        std::lock_guard lock(mutex_);
        started_ = true;
    }
    cv_.notify_one();
}

void NullOutput::Run() {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(bufferFrames_) / rate_));
    auto next = Clock::now();
    std::unique_lock lock(mutex_);
    while (running_) {
        lock.unlock();
        mixer_->Render(owner_, buffer_.data(), bufferFrames_);
        next += period;
        // After a stall (a suspended machine) carry on from now instead of racing to catch up.
        if (Clock::now() > next + 10 * period) next = Clock::now();
        lock.lock();
        // A player that starts after this look has PlayerStarted called after it, so the
        // wake cannot be missed.
        started_ = false;
        if (!mixer_->AnyPlaying()) {
            cv_.wait(lock, [this] { return started_ || !running_; });
            next = Clock::now();
        } else {
            cv_.wait_until(lock, next, [this] { return !running_; });
        }
    }
}

OfflineRenderer::OfflineRenderer(Mixer* mixer, int owner, DataSignal* signal,
                                 std::function<void()> wakeAll)
    : mixer_(mixer), owner_(owner), signal_(signal), wakeAll_(std::move(wakeAll)) {}

bool OfflineRenderer::AllReady(int frames) {
    return std::all_of(mixer_->Channels().begin(), mixer_->Channels().end(),
                       [frames](Channel* c) { return c->ReadyFor(frames); });
}

void OfflineRenderer::Render(float* out, int frames, float* phones) {
    constexpr int kBlock = 4096;
    // A decoder that hangs must not hang a test: after this long, render what there is.
    constexpr auto kPatience = std::chrono::seconds(10);
    mixTime_ = {};
    while (frames > 0) {
        const int n = std::min(frames, kBlock);
        const auto giveUp = std::chrono::steady_clock::now() + kPatience;
        uint64_t seen = signal_->Count();
        while (!AllReady(n) && std::chrono::steady_clock::now() < giveUp) {
            wakeAll_();
            seen = signal_->WaitPast(seen, 20);
        }
        const auto start = std::chrono::steady_clock::now();
        const auto startCpu = ThreadCpuTime();
        mixer_->Render(owner_, out, n, phones);
        mixTime_.cpu += ThreadCpuTime() - startCpu;
        mixTime_.wall += std::chrono::steady_clock::now() - start;
        out += 2 * n;
        if (phones != nullptr) phones += 2 * n;
        frames -= n;
    }
}

}  // namespace corvane::audio
