#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::gen {

// iTunes' gapless record: hex fields, the second the encoder delay, the third the padding
// after the audio, the fourth the count of samples the audio holds.
std::string ItunesSmpb(long long delay, long long padding, long long count);

// `mp4` with the freeform atom ----:com.apple.iTunes:iTunSMPB holding `value` appended to its
// moov/udta/meta/ilst (FFmpeg's mov muxer writes no freeform atoms). The moov must come after
// the media data, as FFmpeg writes it, so no sample offset moves. Throws when the file has no
// such moov.
std::vector<std::uint8_t> WithItunesSmpb(std::vector<std::uint8_t> mp4, const std::string& value);

}  // namespace corvane::gen
