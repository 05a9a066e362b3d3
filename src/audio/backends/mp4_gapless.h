#pragma once

#include <cstdint>
#include <optional>

struct AVFormatContext;
struct AVStream;

namespace corvane::audio {

// Where the audio of an MP4 track lies among its decoded samples, at the codec's rate; the
// track's first sample is 0.
struct Mp4Gapless {
    int64_t delay;    // encoder priming before the first sample heard
    int64_t samples;  // how many are heard
};

// The iTunSMPB tag iTunes and many encoders write instead of an edit list: " 00000000 <delay>
// <padding> <count> ..." in hex. Only for a track FFmpeg has applied no edit list to (an edit
// list states the same and wins), and only when the tag is well-formed and fits in the track's
// packets; nothing otherwise.
std::optional<Mp4Gapless> ItunesGapless(const AVFormatContext* format, const AVStream* stream);

}  // namespace corvane::audio
