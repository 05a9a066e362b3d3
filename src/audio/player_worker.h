#pragma once

#include <QString>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/decoder.h"

namespace corvane::audio {

class Channel;
struct Stream;

// Opens a sound file for decoding at the given output rate; OpenDecoder in the program, a
// generated signal in some tests.
using DecoderFactory =
    std::function<std::unique_ptr<Decoder>(const QString& path, int outputRate, QString* error)>;

// Lets a waiting offline renderer know that some worker produced frames or settled a request.
class DataSignal {
public:
    void Notify();
    // Waits until Notify was called since `seen` (or the timeout); returns the new count.
    uint64_t WaitPast(uint64_t seen, int timeoutMs);
    uint64_t Count();

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    uint64_t count_ = 0;
};

// What a worker reports; called on the worker thread.
class WorkerEvents {
public:
    virtual ~WorkerEvents() = default;
    virtual void Opened(uint64_t serial, long long lengthFrames) = 0;
    virtual void OpenFailed(uint64_t serial, const QString& error) = 0;
    virtual void SeekFailed(uint64_t serial) = 0;
    virtual void Ended(uint32_t playSerial) = 0;
    // A whole pass was decoded and the file turned out longer or shorter than announced.
    virtual void LengthFound(uint64_t openSerial, long long lengthFrames) = 0;
};

// One decoder thread per player: a slow open or a slow disk on one line never holds up
// another line, and a player's decoder is only ever touched by its own thread.
class PlayerWorker {
public:
    PlayerWorker(Channel* channel, DecoderFactory factory, int rate, DataSignal* signal,
                 WorkerEvents* events);
    ~PlayerWorker();
    PlayerWorker(const PlayerWorker&) = delete;
    PlayerWorker& operator=(const PlayerWorker&) = delete;

    // Requests, answered in the background; a newer request of a kind replaces an older one.
    void Open(const QString& path, uint64_t serial);
    void Close();
    void Seek(long long frame, uint64_t serial);
    void Wake();

private:
    struct Requests {
        bool open = false;
        bool close = false;
        QString path;
        uint64_t openSerial = 0;
        bool seek = false;
        long long seekFrame = 0;
        uint64_t seekSerial = 0;
        bool wake = false;
        bool quit = false;
    };

    void Run();
    bool Idle() const;
    void DoOpen(const QString& path, uint64_t serial);
    void DoSeek(long long frame, uint64_t serial);
    void StartStream(long long frame, uint64_t serial, bool atEnd = false);
    void Fill(int maxFrames);
    bool Loop();
    void ReportEnd();

    Channel* channel_;
    DecoderFactory factory_;
    int rate_;
    DataSignal* signal_;
    WorkerEvents* events_;

    std::mutex mutex_;
    std::condition_variable cv_;
    Requests requests_;

    // Worker thread only.
    std::unique_ptr<Decoder> decoder_;
    long long length_ = 0;
    uint64_t openSerial_ = 0;
    bool passFromStart_ = true;
    Stream* stream_ = nullptr;
    int pass_ = 1;
    long long passFrames_ = 0;
    bool ended_ = false;
    uint32_t reportedEnd_ = 0;

    std::thread thread_;
};

}  // namespace corvane::audio
