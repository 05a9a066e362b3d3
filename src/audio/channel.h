#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>

#include "audio/master_tap.h"
#include "audio/ring_buffer.h"

namespace corvane::audio {

// Decoded audio kept ahead of the audio thread: 65536 frames, about 1.5 s at 44.1 kHz
// (512 KiB); a player makes up to three of them, as its opens and seeks need them.
inline constexpr int kRingFrames = 65536;

// One decoded run of a file from a start frame: what the worker decoded ahead, and where it
// starts over (loop) or ends. Every open and seek starts a new Stream instead of flushing the
// old one, so the worker never has to wait for the audio thread to let go of a ring.
struct Stream {
    static constexpr int64_t kNoEnd = std::numeric_limits<int64_t>::max();
    static constexpr int64_t kEndHeard = -1;

    StereoRing ring{kRingFrames};
    SpscQueue<int64_t, 64> wraps;        // ring indices where the file starts over
    std::atomic<int64_t> endAt{kNoEnd};  // ring index after the last frame of the last pass
    int64_t startFrame = 0;              // file frame of ring index 0
    uint64_t serial = 0;                 // the open or seek request it answers

    void Reset(int64_t start, uint64_t requestSerial);
};

static_assert(std::atomic<float>::is_always_lock_free);

// Audio thread: raises a meter's held peak (reset by the UI thread with exchange) to `peak`.
void PublishPeak(std::atomic<float>& held, float peak) noexcept;

// Linear gain of a level in hundredths of a decibel; -10000 and below is exactly silent.
float LevelToGain(int hundredthsDb);

// Everything one player shares between the UI thread, its decoder worker and the audio
// thread. Each field has one writer; they meet only through atomics and the SPSC rings.
class Channel {
public:
    // --- UI thread.
    void SetLevels(int volume, int balance);
    void SetRepeatCount(int count) {
        repeatCount_.store(count, std::memory_order_relaxed);
        repeatChanges_.fetch_add(1, std::memory_order_release);
    }
    // Starts the audio thread consuming; returns the play serial an end will be reported with.
    uint32_t Play() { return StartPlaying(nullptr, 0); }
    // Starts consuming at the output frame where `leader` reaches `leaderFrame` of its file
    // (at once when it is already past it); Play or Stop cancels a start not yet reached.
    uint32_t PlayAfter(const Channel* leader, int64_t leaderFrame) {
        return StartPlaying(leader, leaderFrame);
    }
    void Stop() { playing_.store(false, std::memory_order_release); }
    void Request(uint64_t serial) { requested_.store(serial, std::memory_order_release); }
    int64_t PositionFrames() const { return position_.load(std::memory_order_acquire); }
    // For the meters: the largest absolute sample this player put into the mix (after volume
    // and balance) since the last call; 0 while it was silent.
    float TakePeak() { return peak_.exchange(0.0f, std::memory_order_relaxed); }
    uint64_t AdoptedSerial() const { return adopted_.load(std::memory_order_acquire); }
    // Any thread: the latest start of play the audio thread has mixed.
    PlayStart LastStart() const;

    // --- Decoder worker.
    // False once stopped or ended; an end's serial is visible by the time this reads false.
    bool Playing() const { return playing_.load(std::memory_order_acquire); }
    int RepeatCount() const { return repeatCount_.load(std::memory_order_relaxed); }
    uint32_t RepeatChanges() const { return repeatChanges_.load(std::memory_order_acquire); }
    // The worker has acted on every RepeatCount change up to `changes`.
    void RepeatSeen(uint32_t changes) { repeatSeen_.store(changes, std::memory_order_release); }
    // Makes the stream on first use (never on the audio thread).
    Stream* AcquireFreeStream();
    // Hands `stream` to the audio thread; a stream published earlier but never picked up goes
    // back to the free pool.
    void Publish(Stream* stream);
    void Settle(uint64_t serial) { settled_.store(serial, std::memory_order_release); }
    uint32_t EndedSerial() const { return endedSerial_.load(std::memory_order_acquire); }

    // --- Audio thread (never blocks or allocates).
    // Called for every channel before any is mixed, so a start scheduled against another
    // channel sees where that one stood at the beginning of the buffer.
    void BeginBuffer(int64_t masterFrame = 0) noexcept {
        bufferStart_ = position_.load(std::memory_order_relaxed);
        bufferMaster_ = masterFrame;
    }
    // Adds this player's next `frames` frames into `out` (interleaved stereo). Returns false
    // when it was playing but the worker had not decoded enough (a starved buffer).
    bool MixInto(float* out, int frames) noexcept;
    // For the offline renderer: true when the next `frames` frames are decoded (or the end
    // is known), so rendering never depends on thread timing.
    bool ReadyFor(int frames) noexcept;

private:
    uint32_t StartPlaying(const Channel* leader, int64_t leaderFrame);
    void AdoptPending() noexcept;
    // Frames of this buffer to leave silent before a scheduled start; `frames` when the start
    // lies beyond this buffer.
    int FramesBeforeStart(int frames) noexcept;
    bool EndOfPlay(Stream* stream, int64_t readIndex) noexcept;
    // Stops consuming and reports the end of the play.
    void Finish() noexcept;
    void NoteStart(int64_t masterFrame, int64_t fileFrame) noexcept;

    std::array<std::unique_ptr<Stream>, 3> pool_;
    std::array<bool, 3> busy_{};  // worker's view: current, pending or retired
    std::atomic<Stream*> pending_{nullptr};
    SpscQueue<Stream*, 4> retired_;  // audio thread -> worker
    Stream* current_ = nullptr;      // audio thread only
    int pass_ = 1;                   // audio thread only: the pass of current_ being heard

    std::atomic<bool> playing_{false};
    std::atomic<uint32_t> playSerial_{0};
    std::atomic<uint32_t> endedSerial_{0};
    std::atomic<int> repeatCount_{1};
    std::atomic<uint32_t> repeatChanges_{0};
    std::atomic<uint32_t> repeatSeen_{0};
    std::atomic<float> targetLeft_{1.0f};
    std::atomic<float> targetRight_{1.0f};
    float gainLeft_ = 1.0f;  // audio thread only
    float gainRight_ = 1.0f;
    bool wasPlaying_ = false;
    uint32_t heardPlaySerial_ = 0;
    std::atomic<const Channel*> startLeader_{nullptr};
    std::atomic<int64_t> startAt_{0};
    const Channel* waitLeader_ = nullptr;  // audio thread only: the start still awaited
    int64_t waitAt_ = 0;
    int64_t bufferStart_ = 0;   // audio thread only: position when the buffer began
    int64_t bufferMaster_ = 0;  // audio thread only: master frame of the buffer's start
    uint32_t startNoted_ = 0;   // audio thread only: the play serial last noted as started
    // LastStart, published as a sequence lock: odd while being written.
    std::atomic<uint32_t> startSeq_{0};
    std::atomic<int64_t> startMaster_{0};
    std::atomic<int64_t> startFile_{0};

    std::atomic<int64_t> position_{0};
    std::atomic<float> peak_{0.0f};
    std::atomic<uint64_t> adopted_{0};
    std::atomic<uint64_t> requested_{0};
    std::atomic<uint64_t> settled_{0};
};

}  // namespace corvane::audio
