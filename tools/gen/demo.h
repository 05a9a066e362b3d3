#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "tones.h"

namespace corvane::gen {

using Job = std::function<void()>;

// Jobs that write the demo set (six synthesised pieces in mp3 and wav, one General MIDI piece)
// and `Demo.m3u` into `dir`.
std::vector<Job> DemoJobs(const std::filesystem::path& dir);

// A General MIDI file of about `seconds` of the demo piece number `variant` (0 to 5): strings,
// bass, harp, flute and drums.
std::vector<std::uint8_t> GeneralMidiPiece(int variant, double seconds);

// A music-like stereo piece of `seconds`; `variant` picks the key, pace and character.
Pcm MusicPiece(int variant, double seconds);

}  // namespace corvane::gen
