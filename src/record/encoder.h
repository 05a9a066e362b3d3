#pragma once

// Encodes the master mix: interleaved float stereo frames in, WAV (16 or 24 bit), FLAC, MP3,
// Ogg Vorbis or Ogg Opus out, to a file or to a byte sink (for a stream to a server).
//
// WAV is written here; the other formats go through FFmpeg's encoders inside the backends
// module (audio/backends.h), so FFmpeg stays off the program's start-up path as it does for
// decoding. Not thread-safe: one thread drives an encoder.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace corvane::record {

enum class Format { Wav16, Wav24, Flac, Mp3, Vorbis, Opus };

struct EncoderSettings {
    Format format = Format::Flac;
    int rate = 44100;       // of the frames handed in; Opus resamples to 48 kHz itself
    int bitrateKbps = 192;  // MP3, Vorbis (nominal) and Opus; ignored by WAV and FLAC
    QString title = {};     // Ogg: into the stream's comments, where listeners' players read it
};

// Takes the encoded bytes as they come; false when they could not be taken, which makes the
// encoder fail with `error`. Called on the thread that drives the encoder.
using ByteSink = std::function<bool(const uint8_t* data, int size)>;

class Encoder {
public:
    virtual ~Encoder() = default;
    // `frames` interleaved stereo frames, nominally within [-1, 1] (clipped). False once the
    // output failed; Error() says why and every later call fails too.
    virtual bool Write(const float* frames, int count) = 0;
    // Hands everything encoded so far to the file or sink, and brings a file's header up to
    // date, so the file plays as it stands if the program dies now.
    virtual bool Flush() = 0;
    // Encodes what is held back, completes the file or stream and closes it. Idempotent.
    virtual bool Finish() = 0;
    virtual QString Error() const = 0;
    // Bytes handed to the file or sink so far.
    virtual int64_t Bytes() const = 0;
};

// The file is created (replaced if it exists). Null with `error` set when it cannot be.
std::unique_ptr<Encoder> OpenFileEncoder(const EncoderSettings& settings, const QString& path,
                                         QString* error);
// A stream: no header is ever rewritten. Every format but WAV.
std::unique_ptr<Encoder> OpenStreamEncoder(const EncoderSettings& settings, ByteSink sink,
                                           QString* error);

// "wav", "flac", "mp3", "ogg" or "opus".
QString FormatSuffix(Format format);

// The settings' names of the recording formats: "WAV16", "WAV24", "FLAC", "MP3", "OGG"
// (and "OPUS"). Unknown text gives FLAC.
QString FormatName(Format format);
Format FormatFromName(const QString& name);

// The rounding every integer format uses (as FFmpeg's own float conversion): the float scaled
// by 2^(bits-1), rounded to nearest, clipped.
int32_t QuantiseSample(float sample, int bits);

}  // namespace corvane::record
