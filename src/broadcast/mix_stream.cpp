#include "broadcast/mix_stream.h"

#include <algorithm>

#include "audio/engine.h"
#include "record/encoder.h"

namespace corvane::broadcast {

RecordStreamEncoder::RecordStreamEncoder() = default;

RecordStreamEncoder::~RecordStreamEncoder() = default;

bool RecordStreamEncoder::Start(StreamFormat format, int bitrate, int rate, const QString& title,
                                Sink sink, QString* error) {
    Finish();
    record::EncoderSettings settings;
    settings.format = format == StreamFormat::Mp3         ? record::Format::Mp3
                      : format == StreamFormat::OggVorbis ? record::Format::Vorbis
                                                          : record::Format::Opus;
    settings.rate = rate;
    settings.bitrateKbps = bitrate;
    settings.title = title;
    encoder_ = record::OpenStreamEncoder(
        settings,
        [sink = std::move(sink)](const uint8_t* data, int size) {
            sink(data, static_cast<size_t>(size));
            return true;
        },
        error);
    return encoder_ != nullptr;
}

bool RecordStreamEncoder::Encode(const float* frames, int count) {
    return encoder_ != nullptr && encoder_->Write(frames, count);
}

void RecordStreamEncoder::Finish() {
    if (encoder_ != nullptr) encoder_->Finish();
    encoder_.reset();
}

void MasterTapSource::Attach(bool on) {
    if (on)
        engine_->AttachTap(audio::kBroadcastTap, &tap_);
    else
        engine_->DetachTap(audio::kBroadcastTap);
}

int MasterTapSource::Read(float* out, int maxFrames) {
    audio::StereoRing& ring = tap_.Ring();
    int done = 0;
    while (done < maxFrames) {
        int frames = 0;
        const float* region = ring.ReadRegion(&frames);
        frames = std::min(frames, maxFrames - done);
        if (frames <= 0) break;
        std::copy(region, region + 2 * static_cast<long>(frames),
                  out + 2 * static_cast<long>(done));
        ring.CommitRead(frames);
        done += frames;
    }
    return done;
}

}  // namespace corvane::broadcast
