// The entry of libcorvane_backends.so: the one symbol the program looks up when it loads the
// module (everything else in it is hidden).
#include "audio/backends.h"
#include "audio/backends/decoders.h"
#include "audio/backends/portaudio_output.h"
#include "record/backends/ffmpeg_encoder.h"

namespace corvane::audio {

namespace {

DeviceOpening OpenDevice(const DeviceRequest& request) {
    DeviceOpening opening;
    auto device = std::make_unique<PortAudioOutput>(request);
    const bool started = device->Start(&opening.error);
    opening.names = device->DeviceNames();
    if (started) opening.output = std::move(device);
    return opening;
}

constexpr Backends kBackends{kBackendsVersion, OpenFfmpegDecoder, OpenMidiDecoder, OpenDevice,
                             record::OpenFfmpegEncoder};

}  // namespace

}  // namespace corvane::audio

extern "C" __attribute__((visibility("default"))) const corvane::audio::Backends*
corvane_backends() {
    return &corvane::audio::kBackends;
}
