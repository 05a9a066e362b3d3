#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/audio_output.h"

namespace corvane::engine {

// Looks for the sound device again while the engine plays silently, on a thread of its own:
// opening PortAudio scans every ALSA device, which can take long enough to stall the UI.
// Tries every `busyPeriod` while `busy()` says something plays, and only every `idlePeriod`
// while nothing does (a scan costs CPU, and a late device is not heard then).
class DeviceProbe {
public:
    // Opens and starts an output on the probe thread; null when there is none yet.
    using Make = std::function<std::unique_ptr<AudioOutput>()>;

    DeviceProbe(Make make, std::function<bool()> busy, std::chrono::milliseconds busyPeriod,
                std::chrono::milliseconds idlePeriod);
    // Waits for a scan in progress to finish.
    ~DeviceProbe();
    DeviceProbe(const DeviceProbe&) = delete;
    DeviceProbe& operator=(const DeviceProbe&) = delete;

    // The started output once one was found, else null; never waits for a scan. Probing ends
    // with the first output found.
    std::unique_ptr<AudioOutput> TakeFound();

private:
    void Run();

    Make make_;
    std::function<bool()> busy_;
    std::chrono::milliseconds busyPeriod_;
    std::chrono::milliseconds idlePeriod_;

    std::mutex mutex_;
    std::condition_variable cv_;
    bool quit_ = false;
    std::unique_ptr<AudioOutput> found_;
    std::thread thread_;
};

}  // namespace corvane::engine
