#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "audio/audio_output.h"
#include "audio/decoder.h"
#include "record/encoder.h"

namespace corvane::audio {

class Mixer;

// What a device output calls from its callback to fill `frames` stereo frames of the mix.
using RenderFunction = void (*)(Mixer* mixer, int owner, float* out, int frames) noexcept;

struct DeviceRequest {
    Mixer* mixer = nullptr;
    RenderFunction render = nullptr;
    int owner = 0;
    int rate = 0;
    int bufferFrames = 0;
    QString device;  // "AudioDevice": empty for the default
};

// A started sound card output, or the reason there is none. `names` are the stereo output
// devices seen while opening it (empty when PortAudio could not start).
struct DeviceOpening {
    std::unique_ptr<AudioOutput> output;
    QStringList names;
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
