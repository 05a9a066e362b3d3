#pragma once

#include <QString>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace corvane::broadcast {

enum class StreamFormat { Mp3, OggVorbis, OggOpus };

// Where and how the mix goes on the air.
struct BroadcastSettings {
    QString server = QStringLiteral("localhost");
    int port = 8000;
    QString mount = QStringLiteral("/corvane");
    QString user = QStringLiteral("source");
    QString password;
    QString name = QStringLiteral("Corvane");
    QString genre;
    StreamFormat format = StreamFormat::Mp3;
    int bitrate = 192;  // kbit/s
    // Songs started on the lines set the stream title too, not only the AutoPilot's.
    bool lineTitles = false;
};

enum class BroadcastState { Off, Connecting, OnAir, Retrying };

// Why a connection attempt failed or a connection ended.
enum class Failure {
    None,
    UnknownServer,  // the name does not resolve
    Unreachable,    // nothing listens there, or the network is down
    LoginRefused,   // the user name or password was not accepted
    MountTaken,     // another source is on that mount point
    Untrusted,      // the server's TLS certificate could not be verified
    NoAnswer,       // connected, but the server never answered or stopped reading
    Lost,           // the connection broke while on the air
    Encoder,        // the stream could not be encoded
};

// Steady time, swappable so the state machine can be tested without waiting.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
};

class SteadyClock : public Clock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

// A connection to a streaming server; one attempt per Open. Never blocks for long: Open
// starts the attempt, Poll finishes it, Send queues what the server cannot take yet.
class StreamConnection {
public:
    enum class Progress { Connected, Pending, Failed };
    virtual ~StreamConnection() = default;
    virtual Progress Open(const BroadcastSettings& settings) = 0;
    virtual Progress Poll() = 0;
    // False once the connection is broken.
    virtual bool Send(const uint8_t* data, size_t size) = 0;
    // Bytes handed to Send that the server has not taken yet.
    virtual size_t Queued() = 0;
    // The stream title listeners see (MP3: through the server; Ogg streams carry it
    // themselves). False when the server would not take it.
    virtual bool SetTitle(const QString& title) = 0;
    virtual void Close() = 0;
    virtual Failure LastFailure() const = 0;
};

// Turns the master mix into the stream's bytes. Start begins a new stream (with its headers,
// for Ogg); `title` goes into an Ogg stream's comments.
class StreamEncoder {
public:
    using Sink = std::function<void(const uint8_t* data, size_t size)>;
    virtual ~StreamEncoder() = default;
    virtual bool Start(StreamFormat format, int bitrate, int rate, const QString& title, Sink sink,
                       QString* error) = 0;
    // Interleaved stereo frames.
    virtual bool Encode(const float* frames, int count) = 0;
    // Ends the stream, passing out what the encoder still holds.
    virtual void Finish() = 0;
};

// Where the mix comes from: a tap on the master bus.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Up to `maxFrames` interleaved stereo frames; 0 when nothing is waiting.
    virtual int Read(float* out, int maxFrames) = 0;
    // Frames the audio thread could not hand over because the reader fell behind.
    virtual long long Dropped() const = 0;
};

}  // namespace corvane::broadcast
