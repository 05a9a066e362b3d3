#pragma once

#include <memory>

#include "audio/master_tap.h"
#include "broadcast/broadcast_types.h"

namespace corvane::audio {
class Engine;
}
namespace corvane::record {
class Encoder;
}

namespace corvane::broadcast {

// The stream's encoder: the recorder's FFmpeg encoders writing to a byte sink.
class RecordStreamEncoder : public StreamEncoder {
public:
    RecordStreamEncoder();
    ~RecordStreamEncoder() override;
    bool Start(StreamFormat format, int bitrate, int rate, const QString& title, Sink sink,
               QString* error) override;
    bool Encode(const float* frames, int count) override;
    void Finish() override;

private:
    std::unique_ptr<record::Encoder> encoder_;
};

// The mix as it leaves the master limiter, from the engine's broadcast tap.
class MasterTapSource : public FrameSource {
public:
    explicit MasterTapSource(audio::Engine* engine) : engine_(engine) {}
    // Hooks the tap to the master bus (UI thread); returns once the audio thread sees it.
    void Attach(bool on);
    int Read(float* out, int maxFrames) override;
    long long Dropped() const override { return tap_.DroppedFrames(); }

private:
    audio::Engine* engine_;
    // About six seconds: the worker may be held up by a slow name look-up or a title update.
    audio::MasterTap tap_{1 << 18};
};

}  // namespace corvane::broadcast
