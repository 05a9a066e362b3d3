#pragma once

#include <cstdint>
#include <vector>

#include "tones.h"

namespace corvane::gen {

// A minimal MPEG-1 Layer I encoder: 32-band polyphase analysis, per-band scale factors and a
// greedy bit allocation by signal level (no psychoacoustic model). Rates 32000, 44100 and
// 48000 Hz, mono or stereo; `bitRate` must be one of Layer I's (32000 ... 448000, steps of
// 32000). The input is padded with silence to whole frames of 384 samples.
std::vector<std::uint8_t> EncodeLayer1(const Pcm& pcm, int bitRate);

}  // namespace corvane::gen
