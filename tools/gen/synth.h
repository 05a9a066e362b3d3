#pragma once

#include <cstdint>
#include <vector>

#include "compose.h"
#include "tones.h"

namespace corvane::gen {

// Plays `notes` at `bpm` with small synthesised instruments (soft pads, a round bass, a bell-like
// arpeggio and lead with echo, sine kicks and filtered-noise hats and snares) into a stereo
// 44.1 kHz piece of exactly `seconds`, faded in and out and brought to about -14 LUFS.
Pcm Render(const std::vector<NoteEvent>& notes, double bpm, double seconds, std::uint64_t seed);

// The same for a loop of `loopSeconds` repeated to `seconds`; what still rings at the loop's
// end is folded onto its start, so the repeats join without a seam.
Pcm RenderLooped(const std::vector<NoteEvent>& notes, double bpm, double loopSeconds,
                 double seconds, std::uint64_t seed);

}  // namespace corvane::gen
