#pragma once

#include <QString>
#include <memory>

#include "mixer/system_mixer.h"

namespace corvane::mixer {

// ALSA's simple mixer on the given device: playback "Master", capture "Capture" or else "Mic".
// A device that cannot be opened gives a backend that finds nothing and says why.
std::unique_ptr<MixerBackend> OpenAlsaMixer(const QString& device = QStringLiteral("default"));

}  // namespace corvane::mixer
