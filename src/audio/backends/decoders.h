#pragma once

#include "audio/decoder.h"

namespace corvane::audio {

// The decoders OpenDecoder dispatches to; each reports failure like OpenDecoder does.
std::unique_ptr<Decoder> OpenFfmpegDecoder(const QString& path, int outputRate, QString* error);
std::unique_ptr<Decoder> OpenMidiDecoder(const QString& path, int outputRate, QString* error);

}  // namespace corvane::audio
