#pragma once

#include <QString>
#include <memory>

namespace corvane::audio {

// A decoded sound file, read on a decoder worker thread (never on the audio thread). It
// delivers interleaved stereo float frames at the rate asked for when it was opened.
class Decoder {
public:
    virtual ~Decoder() = default;

    // Decodes up to `frames` stereo frames into `out` (2 * frames floats). Returns the number
    // of frames written; fewer than asked only at the end of the stream, 0 once it has ended.
    // A decoding error mid-file ends the stream early; it never throws.
    virtual int Read(float* out, int frames) = 0;

    // Moves to the frame `frame` (at the output rate) from the start; the next Read begins
    // exactly there. False when the position cannot be reached (the stream then stays usable
    // from wherever it is).
    virtual bool Seek(long long frame) = 0;

    // Moves to about `frame`, as fast as the format allows, for a picture of the file rather
    // than for playing: the next Read begins near there. False when the format has no such
    // quick way (then only Seek moves it).
    virtual bool SeekNear(long long frame) {
        (void)frame;
        return false;
    }

    // Length in frames at the output rate, as known right after opening (no whole-file scan).
    virtual long long LengthFrames() const = 0;

    // Output rate the decoder delivers at.
    virtual int Rate() const = 0;
};

// Opens `path` for decoding at `outputRate` Hz, stereo float. Standard MIDI Files go through
// FluidSynth, a .ram metafile through the first local file it names, and everything else
// through FFmpeg (local files only), chosen by content among wav, MPEG audio, RealAudio,
// FLAC, Ogg (Vorbis, Opus, FLAC), MP4 (AAC, ALAC), ADTS AAC, AIFF/AIFC and WavPack. Returns
// null and sets `error` to a short reason on failure.
std::unique_ptr<Decoder> OpenDecoder(const QString& path, int outputRate, QString* error);

}  // namespace corvane::audio
