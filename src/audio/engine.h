#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "audio/backends.h"
#include "audio/master_tap.h"
#include "audio/player_worker.h"

namespace corvane::audio {

class AudioOutput;
class Channel;
class DeviceProbe;
class MediaPlayer;
class Mixer;
class OfflineRenderer;

enum class OutputKind {
    Device,   // PortAudio, opened in the background; silent (Null) until it is open, and while
              // no device can be used
    Null,     // silent, in real time
    Offline,  // nothing runs by itself: RenderOffline pulls the mix
};

struct EngineOptions {
    OutputKind output = OutputKind::Device;
    QString device;          // the "AudioDevice" setting; empty = the default device
    int bufferFrames = 512;  // the "AudioBuffer" setting
    int rate = 44100;
    // Device output: hold the device back until OpenDevice (the program opens it once its
    // window has shown, so the ALSA scan does not delay that); the null output keeps time.
    bool deviceOnRequest = false;
    // The master limiter (ceiling -1 dBFS); SetLimiter switches it later.
    bool limiter = true;
    // Opens the sound device on the probe thread; empty = PortAudio through the backends
    // module. Tests put in their own.
    std::function<DeviceOpening(const DeviceRequest&)> openDevice;
};

// The audio engine: the output, the mixer and the eight players Player(1..6) and AP(0..1).
// Created once in main() and handed to whoever needs a player. The players' notifications
// carry their index within their own array (1..6 for Player, 0..1 for AP).
class Engine : public QObject {
    Q_OBJECT

public:
    static constexpr char kSilentText[] = "No sound device: playing silently.";

    Engine(const EngineOptions& options, DecoderFactory factory, QObject* parent = nullptr);
    ~Engine() override;

    // Player(1) to Player(6) and AP(0), AP(1); any other index gives a player that accepts
    // every call and does nothing.
    MediaPlayer* Player(int index);
    MediaPlayer* AP(int index);

    int Rate() const { return options_.rate; }
    int BufferFrames() const { return options_.bufferFrames; }
    OutputKind RequestedOutput() const { return options_.output; }
    // True while sound goes nowhere (no device, or the device died and is being retried);
    // false while the device is still being opened.
    bool PlayingSilently() const { return silent_; }
    // Any thread: the stereo output devices as the last device scan found them, by the names
    // "AudioDevice" takes; empty before the first scan and for the null and offline outputs.
    QStringList OutputDevices() const;
    // "No sound device: playing silently." while silent in device mode, else empty.
    QString StatusText() const;
    // Device buffers that ran dry (reported by the device), over every device opened.
    long long Underruns() const;
    // Buffers in which a playing player's decoder had fallen behind.
    long long StarvedBuffers() const;

    // The master limiter, on or off from the next buffer.
    void SetLimiter(bool on);
    bool LimiterOn() const;
    // Frames by which the master lags the players on every output: the limiter's look-ahead,
    // the same whether it is on or off. Position() does not subtract it, as it does not
    // subtract the device's buffer: 1.5 ms is below anything a position shows.
    int LatencyFrames() const;

    // For the meters, any thread (one reader): the largest absolute sample since the last
    // call, after the fader. Line 0 is the AutoPilot (both its players), 1 to 6 Player(1..6),
    // 7 the master (the louder side); any other line gives 0.
    float TakeLinePeak(int line);
    struct StereoPeak {
        float left = 0.0f;
        float right = 0.0f;
    };
    // The master as it leaves the limiter, per side.
    StereoPeak TakeMasterPeak();

    // The master as it leaves the limiter, copied into `tap`'s ring from the next buffer on
    // (slot kRecordTap or kBroadcastTap, see master_tap.h). Both return once the audio thread
    // no longer uses the tap the slot held before, so that tap may then be destroyed.
    void AttachTap(int slot, MasterTap* tap);
    void DetachTap(int slot);
    // Any thread: master frames rendered so far on every output; taps and song starts are
    // placed on this clock.
    int64_t MasterFrames() const;
    // Any thread: the latest start of play heard from player `slot` (0..5 Player(1..6), 6..7
    // AP(0..1)), on the MasterFrames clock; a zero count for none or another slot.
    PlayStart LastStart(int slot) const;

    // Starts opening a device held back by `deviceOnRequest`; does nothing otherwise.
    void OpenDevice();

    // Switches the output; players keep their state and position. bufferFrames 0 keeps the
    // current buffer size. Returns at once: a device scan in progress is let go on a thread
    // of its own and may take seconds, while the current output plays on. `done` runs on this
    // thread once the new output is in place (OutputChanged is sent then too); a request made
    // while a switch is under way replaces it and its `done` runs at the end of that switch.
    void SetOutput(OutputKind kind, const QString& device = QString(), int bufferFrames = 0,
                   std::function<void()> done = {});
    bool Switching() const { return retiring_.joinable(); }

    // Offline output only: renders the next `frames` interleaved stereo frames into `out`.
    void RenderOffline(float* out, int frames);

Q_SIGNALS:
    // Sent when the engine falls back to silent output (at start or when the device dies).
    void NoSoundDevice(const QString& text);
    void OutputChanged();

private:
    void StartOutput();
    void DropOutput();
    void FallBackToSilence();
    void CheckOutput();
    void StartProbe(bool tryNow);
    void DeviceMissing(int probeSerial);
    void WakeAll();
    void FinishSwitch();

    struct OutputRequest {
        OutputKind kind;
        QString device;
        int bufferFrames;
    };

    EngineOptions options_;
    DataSignal signal_;
    std::array<std::unique_ptr<Channel>, 8> channels_;
    std::unique_ptr<Mixer> mixer_;
    std::array<std::unique_ptr<MediaPlayer>, 8> players_;
    std::unique_ptr<MediaPlayer> inert_;
    std::unique_ptr<AudioOutput> output_;
    std::unique_ptr<OfflineRenderer> offline_;
    std::unique_ptr<DeviceProbe> probe_;  // in device mode until the device is open
    int probeSerial_ = 0;
    bool deviceHeld_ = false;
    mutable std::mutex namesMutex_;
    QStringList deviceNames_;  // written by the probe thread
    int owner_ = 0;
    bool silent_ = false;
    long long pastUnderruns_ = 0;
    QTimer watch_;
    std::optional<OutputRequest> request_;         // the switch waiting for the old probe
    std::vector<std::function<void()>> switched_;  // told when it is done
    std::thread retiring_;                         // lets the old probe go
};

}  // namespace corvane::audio
