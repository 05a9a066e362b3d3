#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "audio/audio_output.h"
#include "audio/decoder.h"
#include "record/encoder.h"

namespace corvane::audio {

class ClockBridge;
class Mixer;

// What a device output calls from its callback to fill `frames` stereo frames of the mix and,
// with `phones`, of the headphones; `time` is when the first frame is heard (negative:
// unknown).
using RenderFunction = void (*)(Mixer* mixer, int owner, float* out, int frames, float* phones,
                                double time) noexcept;
// What a headphone stream on a second device calls from its callback.
using PullFunction = void (*)(ClockBridge* bridge, float* out, int frames, double time) noexcept;

// Frames a sound card's callback renders at a time for a "AudioBuffer" of `bufferFrames`: the
// card holds two of these, so what is mixed is heard at most three buffers later (it was two
// buffers in two callbacks of one). Each period costs the sound server, its ALSA plugin and
// PortAudio's thread a wake-up or two, so with lines playing the longer period is a third less
// of those for one buffer more of latency.
constexpr int DevicePeriodFrames(int bufferFrames) { return bufferFrames + bufferFrames / 2; }

struct DeviceRequest {
    Mixer* mixer = nullptr;
    RenderFunction render = nullptr;
    int owner = 0;
    int rate = 0;
    int bufferFrames = 0;
    QString device;  // "AudioDevice": empty for the default
    // The headphones on channels 3 and 4, when the device has them.
    bool phonesOnChannels34 = false;
    // Set for a headphone stream: it plays what `pull` takes from `bridge`, not the mix.
    ClockBridge* bridge = nullptr;
    PullFunction pull = nullptr;
};

// A started sound card output, or the reason there is none. `names` are the stereo output
// devices seen while opening it (empty when PortAudio could not start), `channels` how many
// outputs each has, and `opened` the name of the device opened.
struct DeviceOpening {
    std::unique_ptr<AudioOutput> output;
    QStringList names;
    QList<int> channels;
    QString opened;
    QString error;
};

// FFmpeg, FluidSynth and PortAudio live in a module of their own, libcorvane_backends.so,
// loaded the first time a file is opened or the sound device is looked for. Together they
// pull in well over a hundred shared objects; loading and relocating those before the main
// window was most of the program's start. Each entry reports failure like OpenDecoder does.
struct Backends {
    int version;
    std::unique_ptr<Decoder> (*openFfmpeg)(const QString& path, int outputRate, QString* error);
    std::unique_ptr<Decoder> (*openMidi)(const QString& path, int outputRate, QString* error);
    DeviceOpening (*openDevice)(const DeviceRequest& request);
    // FFmpeg's encoders for the recorder and the broadcaster: to `path`, or to `sink` when set.
    std::unique_ptr<record::Encoder> (*openEncoder)(const record::EncoderSettings& settings,
                                                    const QString& path, record::ByteSink sink,
                                                    QString* error);
};

inline constexpr int kBackendsVersion = 2;
inline constexpr const char* kBackendsEntry = "corvane_backends";

// The module, loaded once from the program's library folder and kept for the life of the
// process; safe from any thread. Null with `error` set when it cannot be loaded.
const Backends* LoadBackends(QString* error);

// Loads the first of `candidates` (paths, or names for the dynamic loader to find) that is
// this program's module; not cached.
const Backends* LoadBackendsFrom(const QStringList& candidates, QString* error);

}  // namespace corvane::audio
