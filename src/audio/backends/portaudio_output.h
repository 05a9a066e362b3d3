#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <vector>

#include "audio/audio_output.h"
#include "audio/backends.h"

namespace corvane::audio {

// The sound card through PortAudio: the default output device, or the one whose name is
// `device` (exactly, else the first containing it). PortAudio is initialised per instance, so
// a new instance sees devices that appeared since (a restarted sound server).
class PortAudioOutput : public AudioOutput {
public:
    explicit PortAudioOutput(DeviceRequest request);
    ~PortAudioOutput() override;
    bool Start(QString* error) override;
    void Stop() override;
    bool Healthy() override;
    long long Underruns() const override { return underruns_.load(std::memory_order_relaxed); }
    void Rest() override;
    void PlayerStarted() override;
    bool Resting() const { return resting_; }
    // The output devices that take stereo, as Start found them (what "AudioDevice" names);
    // empty when PortAudio could not start.
    const QStringList& DeviceNames() const { return names_; }
    // Their outputs, in the same order, and the name of the one opened.
    const QList<int>& DeviceChannels() const { return channels_; }
    const QString& OpenedName() const { return opened_; }
    bool CarriesPhones() const override { return streamChannels_ == 4; }

    // For the callback only.
    void Pull(float* out, unsigned long frames, bool underflow, double time) noexcept;

private:
    struct StreamCloser {
        void operator()(void* stream) const;
    };

    DeviceRequest request_;
    QStringList names_;
    QList<int> channels_;
    QString opened_;
    int streamChannels_ = 2;
    // Four-channel streams: the master and the headphones, before they are interleaved.
    std::vector<float> master_;
    std::vector<float> phones_;
    bool initialised_ = false;
    std::unique_ptr<void, StreamCloser> stream_;
    std::atomic<long long> callbacks_{0};
    std::atomic<long long> underruns_{0};
    long long lastCallbacks_ = -1;
    int stalledChecks_ = 0;
    bool running_ = false;  // callbacks seen coming in real time, not only the first fill
    bool resting_ = false;  // stopped while nothing plays
};

}  // namespace corvane::audio
