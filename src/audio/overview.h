#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace corvane::audio {

class Decoder;

// Columns in a song's loudness overview, whatever its length.
inline constexpr int kOverviewBins = 1024;

// A song's loudness overview: the peak of each of kOverviewBins equal parts of the song, from
// 0 (silent) to 255 (full scale). Empty when nothing could be decoded.
using OverviewPeaks = std::vector<uint8_t>;

// Reads `decoder` (fresh from opening) for its overview. A long song is sampled: one short
// window in the middle of each column, reached by the decoder's quick seek, which shows
// breaks and builds at a fraction of a whole decode; a short song, or a format without the
// quick seek, is decoded whole. `stop` (when given) abandons the work, returning empty.
OverviewPeaks ComputeOverview(Decoder& decoder, const std::atomic<bool>* stop = nullptr);

}  // namespace corvane::audio
