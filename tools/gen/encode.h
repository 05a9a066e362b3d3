#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "tones.h"

namespace corvane::gen {

struct EncodeSettings {
    std::string codec;  // FFmpeg encoder name, e.g. "libmp3lame"
    std::string muxer;  // FFmpeg muxer name, e.g. "mp3"
    long bitRate = 0;   // bits per second; 0 leaves the encoder's default
    int quality = -1;   // encoder speed/quality trade-off (compression_level); -1 = default
    std::map<std::string, std::string> tags;  // container metadata (title, artist, ...)
    // AAC in MP4 as iTunes writes it: no edit list, every packet a whole frame long, the
    // encoder delay, padding and true length in an iTunSMPB tag instead.
    bool itunesGapless = false;
};

// Encodes `pcm` with FFmpeg's own libraries into `path` (written as path.part, then renamed).
// Throws std::runtime_error with FFmpeg's message on failure.
void EncodeFile(const std::filesystem::path& path, const Pcm& pcm, const EncodeSettings& settings);

// A few grey frames of video and nothing else, for players that must refuse a file without
// sound. `codec` and `muxer` are FFmpeg names (e.g. "libtheora" and "ogg").
void EncodeSilentVideo(const std::filesystem::path& path, const std::string& codec,
                       const std::string& muxer);

// Keeps FFmpeg's chatter out of the build log (the truncated fixture makes its decoder
// complain, as it should); failures still reach us as error codes.
void QuietCodecLogs();

// Seconds of audio FFmpeg decodes from `path` (the first audio stream), or -1 when it cannot be
// opened at all.
double DecodedSeconds(const std::filesystem::path& path);

}  // namespace corvane::gen
