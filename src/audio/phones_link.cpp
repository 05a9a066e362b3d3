#include "audio/phones_link.h"

#include <QDebug>

#include "audio/clock_bridge.h"
#include "audio/device_probe.h"
#include "audio/mixer.h"

namespace corvane::audio {

namespace {
// About 0.75 s at 44.1 kHz: room for a stalled callback before frames are dropped.
constexpr int kBridgeFrames = 32768;
}  // namespace

PhonesLink::PhonesLink(Mixer* mixer, Open open, std::chrono::milliseconds busyPeriod,
                       std::chrono::milliseconds idlePeriod, QObject* parent)
    : QObject(parent),
      mixer_(mixer),
      open_(std::move(open)),
      busyPeriod_(busyPeriod),
      idlePeriod_(idlePeriod) {}

PhonesLink::~PhonesLink() { Stop(); }

void PhonesLink::Start(const QString& device, int rate, int bufferFrames, bool tryNow) {
    Stop();
    device_ = device;
    if (bridge_ == nullptr || rate != rate_ || bufferFrames != bufferFrames_) {
        rate_ = rate;
        bufferFrames_ = bufferFrames;
        // A callback's block of each side, and a little for the callbacks' jitter.
        bridge_ = std::make_unique<ClockBridge>(rate, kBridgeFrames,
                                                2 * DevicePeriodFrames(bufferFrames) + 256);
    }
    StartProbe(tryNow);
}

void PhonesLink::Stop() {
    ++serial_;
    probe_.reset();
    mixer_->SetBridge(nullptr);
    if (output_ != nullptr) output_->Stop();
    output_.reset();
    // Nothing pulls now: the next stream starts from an empty bridge.
    if (bridge_ != nullptr) bridge_->Restart();
}

void PhonesLink::StartProbe(bool tryNow) {
    const int serial = ++serial_;
    DeviceRequest request;
    request.rate = rate_;
    request.bufferFrames = bufferFrames_;
    request.device = device_;
    request.bridge = bridge_.get();
    request.pull = [](ClockBridge* bridge, float* out, int frames, double time) noexcept {
        Mixer::PullPhones(bridge, out, frames, time);
    };
    Mixer* mixer = mixer_;
    probe_ = std::make_unique<DeviceProbe>(
        [open = open_, request]() -> std::unique_ptr<AudioOutput> {
            DeviceOpening opening = open(request);
            if (opening.output == nullptr) qDebug() << "headphone device:" << opening.error;
            return std::move(opening.output);
        },
        [mixer] { return mixer->AnyPlaying(); }, busyPeriod_, idlePeriod_, tryNow,
        [this, serial](bool found) {
            // Queued to the UI thread; the probe is joined before this goes.
            QMetaObject::invokeMethod(
                this, [this, serial, found] { Tried(serial, found); }, Qt::QueuedConnection);
        });
}

void PhonesLink::Tried(int serial, bool found) {
    if (serial != serial_ || probe_ == nullptr) return;
    if (!found) {
        Lost();
        return;
    }
    output_ = probe_->TakeFound();
    if (output_ == nullptr) return;
    probe_.reset();
    mixer_->SetBridge(bridge_.get());
    said_ = false;
}

void PhonesLink::Check() {
    if (output_ == nullptr || output_->Healthy()) return;
    Stop();
    StartProbe(false);
    Lost();
}

void PhonesLink::Lost() {
    if (said_) return;
    said_ = true;
    Q_EMIT Missing();
}

}  // namespace corvane::audio
