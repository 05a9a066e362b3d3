#pragma once

#include "record/encoder.h"

namespace corvane::record {

// FLAC, MP3 (LAME), Ogg Vorbis and Ogg Opus through FFmpeg: to the file at `path`, or to
// `sink` when it is set. Built into the backends module, reached through audio::Backends.
std::unique_ptr<Encoder> OpenFfmpegEncoder(const EncoderSettings& settings, const QString& path,
                                           ByteSink sink, QString* error);

}  // namespace corvane::record
