#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

#include "audio/backends.h"

namespace corvane::audio {

class ClockBridge;
class DeviceProbe;
class Mixer;

// Headphones on a second sound device: its own stream, fed from the main device's callback
// through a ClockBridge. Opened on a probe thread like the main device, and looked for again
// the same way while it is missing; the main output never waits for it. UI thread only.
class PhonesLink : public QObject {
    Q_OBJECT

public:
    using Open = std::function<DeviceOpening(const DeviceRequest&)>;

    PhonesLink(Mixer* mixer, Open open, std::chrono::milliseconds busyPeriod,
               std::chrono::milliseconds idlePeriod, QObject* parent = nullptr);
    ~PhonesLink() override;

    // Starts looking for `device` (at once when `tryNow`), to play at `rate` in blocks of
    // `bufferFrames`; stops any previous one first.
    void Start(const QString& device, int rate, int bufferFrames, bool tryNow);
    // Closes the stream and stops looking.
    void Stop();
    // Twice a second while the main device plays: a headphone stream that stopped is closed
    // and looked for again.
    void Check();
    bool Heard() const { return output_ != nullptr; }

Q_SIGNALS:
    // The headphones cannot be heard: once when a first try fails or the stream dies, not
    // again until they were heard once more.
    void Missing();

private:
    void StartProbe(bool tryNow);
    void Tried(int serial, bool found);
    void Lost();

    Mixer* mixer_;
    Open open_;
    std::chrono::milliseconds busyPeriod_;
    std::chrono::milliseconds idlePeriod_;
    QString device_;
    int rate_ = 0;
    int bufferFrames_ = 0;
    std::unique_ptr<ClockBridge> bridge_;
    std::unique_ptr<DeviceProbe> probe_;
    std::unique_ptr<AudioOutput> output_;
    int serial_ = 0;
    bool said_ = false;
};

}  // namespace corvane::audio
