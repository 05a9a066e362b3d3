#include "record/encoder.h"

#include <cmath>

#include "audio/backends.h"
#include "record/wav_writer.h"

namespace corvane::record {

namespace {

std::unique_ptr<Encoder> OpenThroughModule(const EncoderSettings& settings, const QString& path,
                                           ByteSink sink, QString* error) {
    const audio::Backends* backends = audio::LoadBackends(error);
    if (backends == nullptr) return nullptr;
    return backends->openEncoder(settings, path, std::move(sink), error);
}

}  // namespace

std::unique_ptr<Encoder> OpenFileEncoder(const EncoderSettings& settings, const QString& path,
                                         QString* error) {
    if (settings.format == Format::Wav16 || settings.format == Format::Wav24)
        return OpenWavFile(path, settings.rate, settings.format == Format::Wav16 ? 16 : 24, error);
    return OpenThroughModule(settings, path, {}, error);
}

std::unique_ptr<Encoder> OpenStreamEncoder(const EncoderSettings& settings, ByteSink sink,
                                           QString* error) {
    if (settings.format == Format::Wav16 || settings.format == Format::Wav24 || !sink) {
        if (error != nullptr) *error = QStringLiteral("WAV cannot be streamed");
        return nullptr;
    }
    return OpenThroughModule(settings, QString(), std::move(sink), error);
}

QString FormatSuffix(Format format) {
    switch (format) {
        case Format::Wav16:
        case Format::Wav24:
            return QStringLiteral("wav");
        case Format::Flac:
            return QStringLiteral("flac");
        case Format::Mp3:
            return QStringLiteral("mp3");
        case Format::Vorbis:
            return QStringLiteral("ogg");
        case Format::Opus:
            return QStringLiteral("opus");
    }
    return QStringLiteral("flac");
}

int32_t QuantiseSample(float sample, int bits) {
    const double scale = std::ldexp(1.0, bits - 1);
    const double v = std::nearbyint(static_cast<double>(sample) * scale);
    if (std::isnan(v)) return 0;
    if (v >= scale) return static_cast<int32_t>(scale - 1);
    if (v < -scale) return static_cast<int32_t>(-scale);
    return static_cast<int32_t>(v);
}

}  // namespace corvane::record
