#include "audio/device_probe.h"

namespace corvane::audio {

DeviceProbe::DeviceProbe(Make make, std::function<bool()> busy,
                         std::chrono::milliseconds busyPeriod, std::chrono::milliseconds idlePeriod,
                         bool tryNow, std::function<void(bool)> tried)
    : make_(std::move(make)),
      busy_(std::move(busy)),
      busyPeriod_(busyPeriod),
      idlePeriod_(idlePeriod),
      tryNow_(tryNow),
      tried_(std::move(tried)),
      thread_([this] { Run(); }) {}

DeviceProbe::~DeviceProbe() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    cv_.notify_one();
    thread_.join();
}

std::unique_ptr<AudioOutput> DeviceProbe::TakeFound() {
    std::lock_guard lock(mutex_);
    return std::move(found_);
}

void DeviceProbe::Run() {
    using Clock = std::chrono::steady_clock;
    // Unless trying now, the caller has just failed to open the device.
    auto lastTry = Clock::now();
    bool wait = !tryNow_;
    std::unique_lock lock(mutex_);
    for (;;) {
        if (wait) {
            if (cv_.wait_for(lock, busyPeriod_, [this] { return quit_; })) return;
            if (!busy_() && Clock::now() - lastTry < idlePeriod_) continue;
        }
        wait = true;
        lock.unlock();
        std::unique_ptr<AudioOutput> output = make_();
        lock.lock();
        lastTry = Clock::now();
        const bool found = output != nullptr;
        found_ = std::move(output);
        lock.unlock();
        if (tried_) tried_(found);
        lock.lock();
        if (found) {
            cv_.wait(lock, [this] { return quit_; });
            return;
        }
    }
}

}  // namespace corvane::audio
