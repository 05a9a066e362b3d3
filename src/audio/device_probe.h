#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/audio_output.h"

namespace corvane::audio {

// Opens the sound device on a thread of its own, at start and again while the engine plays
// silently: opening PortAudio scans every ALSA device, which can take long enough to stall the
// UI. Tries at once when `tryNow`, then every `busyPeriod` while `busy()` says something plays,
// and only every `idlePeriod` while nothing does (a scan costs CPU, and a late device is not
// heard then). `tried(found)` is called on the probe thread after each try, once a found
// output can be taken.
class DeviceProbe {
public:
    // Opens and starts an output on the probe thread; null when there is none yet.
    using Make = std::function<std::unique_ptr<AudioOutput>()>;

    DeviceProbe(Make make, std::function<bool()> busy, std::chrono::milliseconds busyPeriod,
                std::chrono::milliseconds idlePeriod, bool tryNow,
                std::function<void(bool found)> tried);
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
    bool tryNow_;
    std::function<void(bool)> tried_;

    std::mutex mutex_;
    std::condition_variable cv_;
    bool quit_ = false;
    std::unique_ptr<AudioOutput> found_;
    std::thread thread_;
};

}  // namespace corvane::audio
