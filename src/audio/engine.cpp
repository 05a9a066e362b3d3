#include "audio/engine.h"

#include <QDebug>

#include "audio/audio_output.h"
#include "audio/backends.h"
#include "audio/channel.h"
#include "audio/device_probe.h"
#include "audio/master_tap.h"
#include "audio/media_player.h"
#include "audio/mixer.h"

namespace corvane::audio {

namespace {
constexpr int kWatchMs = 500;
// A lost device is looked for every 3 s while something plays, every 30 s while not.
constexpr std::chrono::milliseconds kRetryBusy{3000};
constexpr std::chrono::milliseconds kRetryIdle{30000};
}  // namespace

Engine::Engine(const EngineOptions& options, DecoderFactory factory, QObject* parent)
    : QObject(parent), options_(options) {
    if (options_.bufferFrames < 16 || options_.bufferFrames > 16384) options_.bufferFrames = 512;
    std::vector<Channel*> channels;
    for (auto& c : channels_) {
        c = std::make_unique<Channel>();
        channels.push_back(c.get());
    }
    mixer_ = std::make_unique<Mixer>(std::move(channels), options_.rate);
    mixer_->SetLimiter(options_.limiter);
    // Slots 0..5 are Player(1..6), 6..7 are AP(0..1).
    for (int i = 0; i < 8; ++i) {
        const int index = i < 6 ? i + 1 : i - 6;
        players_[i] = std::make_unique<MediaPlayer>(index, channels_[i].get(), factory,
                                                    options_.rate, &signal_);
        connect(players_[i].get(), &MediaPlayer::PlayStateChanged, this,
                [this](int, int, int state) {
                    if (state == MediaPlayer::kPlaying && output_ != nullptr)
                        output_->PlayerStarted();
                });
    }
    inert_ = std::make_unique<MediaPlayer>(-1, nullptr, factory, options_.rate, &signal_);
    connect(&watch_, &QTimer::timeout, this, &Engine::CheckOutput);
    StartOutput();
}

Engine::~Engine() {
    watch_.stop();
    if (retiring_.joinable()) retiring_.join();
    DropOutput();
    for (auto& p : players_) p.reset();  // workers stop before the channels go
}

MediaPlayer* Engine::Player(int index) {
    return index >= 1 && index <= 6 ? players_[index - 1].get() : inert_.get();
}

MediaPlayer* Engine::AP(int index) {
    return index >= 0 && index <= 1 ? players_[6 + index].get() : inert_.get();
}

QString Engine::StatusText() const {
    return silent_ && options_.output == OutputKind::Device ? QLatin1String(kSilentText)
                                                            : QString();
}

long long Engine::Underruns() const {
    return pastUnderruns_ + (output_ != nullptr ? output_->Underruns() : 0);
}

long long Engine::StarvedBuffers() const { return mixer_->StarvedBuffers(); }

void Engine::SetLimiter(bool on) { mixer_->SetLimiter(on); }

bool Engine::LimiterOn() const { return mixer_->LimiterOn(); }

int Engine::LatencyFrames() const { return mixer_->LatencyFrames(); }

float Engine::TakeLinePeak(int line) {
    if (line == 0) return std::max(channels_[6]->TakePeak(), channels_[7]->TakePeak());
    if (line >= 1 && line <= 6) return channels_[line - 1]->TakePeak();
    if (line == 7) {
        const StereoPeak master = TakeMasterPeak();
        return std::max(master.left, master.right);
    }
    return 0.0f;
}

Engine::StereoPeak Engine::TakeMasterPeak() {
    return {mixer_->TakeMasterPeak(0), mixer_->TakeMasterPeak(1)};
}

void Engine::AttachTap(int slot, MasterTap* tap) { mixer_->Taps().Attach(slot, tap); }

void Engine::DetachTap(int slot) { mixer_->Taps().Detach(slot); }

int64_t Engine::MasterFrames() const { return mixer_->Taps().MasterFrames(); }

PlayStart Engine::LastStart(int slot) const {
    if (slot < 0 || slot >= static_cast<int>(channels_.size())) return {};
    return channels_[slot]->LastStart();
}

void Engine::SetOutput(OutputKind kind, const QString& device, int bufferFrames,
                       std::function<void()> done) {
    request_ = OutputRequest{kind, device, bufferFrames};
    if (done) switched_.push_back(std::move(done));
    if (retiring_.joinable()) return;
    // What the old probe still reports is of no interest now.
    ++probeSerial_;
    // Its destructor waits for a device scan in progress; PortAudio may not be used by two
    // threads at once, so the new output starts only after it has gone.
    retiring_ = std::thread([this, probe = std::move(probe_)]() mutable {
        probe.reset();
        QMetaObject::invokeMethod(this, &Engine::FinishSwitch, Qt::QueuedConnection);
    });
}

void Engine::FinishSwitch() {
    if (retiring_.joinable()) retiring_.join();
    if (!request_) return;
    const OutputRequest request = *std::exchange(request_, std::nullopt);
    DropOutput();
    options_.output = request.kind;
    options_.device = request.device;
    if (request.bufferFrames > 0) options_.bufferFrames = request.bufferFrames;
    silent_ = false;
    StartOutput();
    Q_EMIT OutputChanged();
    for (const std::function<void()>& done : std::exchange(switched_, {})) done();
}

void Engine::OpenDevice() {
    if (!deviceHeld_ || Switching()) return;
    deviceHeld_ = false;
    StartProbe(true);
}

void Engine::RenderOffline(float* out, int frames) {
    if (offline_ != nullptr) offline_->Render(out, frames);
}

void Engine::WakeAll() {
    // Only the offline renderer waits; waking a worker just makes it top up its ring early.
    for (auto& p : players_) p->WakeWorker();
}

void Engine::StartOutput() {
    mixer_->SetOwner(++owner_);
    switch (options_.output) {
        case OutputKind::Offline:
            offline_ = std::make_unique<OfflineRenderer>(mixer_.get(), owner_, &signal_,
                                                         [this] { WakeAll(); });
            return;
        case OutputKind::Null:
            output_ = std::make_unique<NullOutput>(mixer_.get(), owner_, options_.rate,
                                                   options_.bufferFrames);
            output_->Start(nullptr);
            silent_ = true;
            return;
        case OutputKind::Device:
            // Opening PortAudio scans every ALSA plugin, a good part of the program's start:
            // it runs on the probe thread while the null output keeps time, so a song started
            // meanwhile plays on and is heard from the moment the device takes over.
            output_ = std::make_unique<NullOutput>(mixer_.get(), owner_, options_.rate,
                                                   options_.bufferFrames);
            output_->Start(nullptr);
            deviceHeld_ = options_.deviceOnRequest;
            options_.deviceOnRequest = false;  // a later SetOutput opens at once
            if (!deviceHeld_) StartProbe(true);
            watch_.start(kWatchMs);
            return;
    }
}

void Engine::DropOutput() {
    probe_.reset();
    deviceHeld_ = false;
    if (output_ != nullptr) {
        output_->Stop();
        pastUnderruns_ += output_->Underruns();
    }
    output_.reset();
    offline_.reset();
}

void Engine::FallBackToSilence() {
    DropOutput();
    mixer_->SetOwner(++owner_);
    output_ =
        std::make_unique<NullOutput>(mixer_.get(), owner_, options_.rate, options_.bufferFrames);
    output_->Start(nullptr);
    StartProbe(false);
    watch_.start(kWatchMs);
    if (!silent_) {
        silent_ = true;
        // Queued, so a listener connected right after construction still hears about it.
        QMetaObject::invokeMethod(
            this,
            [this] {
                Q_EMIT NoSoundDevice(QLatin1String(kSilentText));
                Q_EMIT OutputChanged();
            },
            Qt::QueuedConnection);
    }
}

QStringList Engine::OutputDevices() const {
    std::lock_guard lock(namesMutex_);
    return deviceNames_;
}

void Engine::StartProbe(bool tryNow) {
    // The owner the found device will be given; nothing else takes a new owner while probing.
    const int owner = owner_ + 1;
    const int serial = ++probeSerial_;
    Mixer* mixer = mixer_.get();
    const EngineOptions options = options_;
    // The probe thread is the only one to use PortAudio while it runs (its initialisation is
    // not thread-safe), so it also keeps the device list for OutputDevices.
    probe_ = std::make_unique<DeviceProbe>(
        [this, mixer, owner, options]() -> std::unique_ptr<AudioOutput> {
            // The new stream renders silence until it owns the mixer, so starting it is safe.
            DeviceRequest request;
            request.mixer = mixer;
            request.render = [](Mixer* m, int o, float* out, int frames) noexcept {
                m->Render(o, out, frames);
            };
            request.owner = owner;
            request.rate = options.rate;
            request.bufferFrames = options.bufferFrames;
            request.device = options.device;
            DeviceOpening opening;
            if (options.openDevice) {
                opening = options.openDevice(request);
            } else {
                const Backends* backends = LoadBackends(&opening.error);
                if (backends == nullptr) {
                    qDebug() << "audio device:" << opening.error;
                    return nullptr;
                }
                opening = backends->openDevice(request);
            }
            {
                std::lock_guard lock(namesMutex_);
                deviceNames_ = opening.names;
            }
            if (opening.output == nullptr) qDebug() << "audio device:" << opening.error;
            return std::move(opening.output);
        },
        [mixer] { return mixer->AnyPlaying(); }, kRetryBusy, kRetryIdle, tryNow,
        [this, serial](bool found) {
            // Queued to the UI thread; the probe is joined before the engine goes.
            QMetaObject::invokeMethod(
                this,
                [this, serial, found] {
                    if (serial != probeSerial_) return;
                    if (found)
                        CheckOutput();
                    else
                        DeviceMissing(serial);
                },
                Qt::QueuedConnection);
        });
}

// The first try at opening the device failed: from now on this is playing silently.
void Engine::DeviceMissing(int probeSerial) {
    if (silent_ || probe_ == nullptr || probeSerial != probeSerial_) return;
    silent_ = true;
    Q_EMIT NoSoundDevice(QLatin1String(kSilentText));
    Q_EMIT OutputChanged();
}

// Twice a second in device mode and after each probe: a device that stopped pulling is
// replaced by silence without stopping the players, and a device the probe opened takes over.
void Engine::CheckOutput() {
    // A switch under way starts a new output of its own.
    if (options_.output != OutputKind::Device || Switching()) return;
    if (probe_ == nullptr) {
        if (output_ != nullptr && !output_->Healthy()) FallBackToSilence();
        return;
    }
    std::unique_ptr<AudioOutput> device = probe_ != nullptr ? probe_->TakeFound() : nullptr;
    if (device == nullptr) return;
    DropOutput();
    mixer_->SetOwner(++owner_);
    output_ = std::move(device);
    silent_ = false;
    Q_EMIT OutputChanged();
}

}  // namespace corvane::audio
