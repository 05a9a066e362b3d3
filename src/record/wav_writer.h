#pragma once

#include <QString>
#include <memory>

#include "record/encoder.h"

namespace corvane::record {

// A stereo PCM WAV file of `bits` 16 or 24 at `rate`: a plain 44-byte header whose sizes every
// Flush brings up to date, so the file plays as far as it was flushed if the program dies.
std::unique_ptr<Encoder> OpenWavFile(const QString& path, int rate, int bits, QString* error);

enum class WavRepair { Intact, Repaired, NotOurs, Failed };

// Fixes the sizes in the header of a WAV whose writer died: the data chunk becomes whatever
// whole frames follow the header. Only touches the plain layout OpenWavFile writes. Reads the
// header and the file's length, so it takes the same time for any length.
WavRepair RepairWav(const QString& path, QString* error);

}  // namespace corvane::record
