#pragma once

#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace corvane::audio {

class DataSignal;
class Mixer;

// Something that pulls the mix in real time.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Starts calling the mixer; false with a reason when the output cannot run.
    virtual bool Start(QString* error) = 0;
    virtual void Stop() = 0;
    // Asked twice a second by the engine: false once the output stopped pulling.
    virtual bool Healthy() { return true; }
    // Buffers the device played before they were ready.
    virtual long long Underruns() const { return 0; }
    // Told on the UI thread right after a player starts playing.
    virtual void PlayerStarted() {}
    // Told on the UI thread when nothing has played for a while: the output may stop pulling
    // (and waking the machine) until the next PlayerStarted.
    virtual void Rest() {}
    // Whether the headphones are heard on this output's channels 3 and 4.
    virtual bool CarriesPhones() const { return false; }
};

// Keeps real time without a device: a thread that runs the mixer once per buffer period, so
// positions advance and songs end as if they were heard. While no player plays there is no
// time to keep, and the thread sleeps until one starts.
class NullOutput : public AudioOutput {
public:
    NullOutput(Mixer* mixer, int owner, int rate, int bufferFrames);
    ~NullOutput() override;
    bool Start(QString* error) override;
    void Stop() override;
    void PlayerStarted() override;

private:
    void Run();

    Mixer* mixer_;
    int owner_;
    int rate_;
    int bufferFrames_;
    std::vector<float> buffer_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool running_ = false;
    bool started_ = false;  // a player started since the thread last looked
    std::thread thread_;
};

// Pulls frames on demand for tests and benchmarks. It waits until every playing player has
// its next frames decoded, so what comes out never depends on thread timing.
class OfflineRenderer {
public:
    OfflineRenderer(Mixer* mixer, int owner, DataSignal* signal, std::function<void()> wakeAll);
    void Render(float* out, int frames, float* phones = nullptr);
    // How long the mixer itself took in the last Render, without the wait for the decoders:
    // what a device callback would have spent on it, in wall time and in this thread's CPU
    // time (which leaves out the time the thread was preempted).
    struct MixTime {
        std::chrono::nanoseconds wall{0};
        std::chrono::nanoseconds cpu{0};
    };
    MixTime LastMixTime() const { return mixTime_; }

private:
    bool AllReady(int frames);

    Mixer* mixer_;
    int owner_;
    DataSignal* signal_;
    std::function<void()> wakeAll_;
    MixTime mixTime_;
};

}  // namespace corvane::audio
