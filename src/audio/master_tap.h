#pragma once

// The master mix handed to the recorder and the broadcaster.
//
// At the end of every buffer the mixer copies the master, as it leaves the limiter, into the
// ring of each attached tap. The audio thread never waits for a reader: when a tap's ring has
// no room for the whole buffer, the buffer is left out and its frames are counted as dropped.
//
// Use: make a MasterTap, Engine::AttachTap(slot, &tap), read tap.Ring() on a worker thread,
// Engine::DetachTap(slot) before the tap goes. A tap is attached to one slot at a time.

#include <array>
#include <atomic>
#include <cstdint>

#include "audio/ring_buffer.h"

namespace corvane::audio {

class MasterTap {
public:
    // About three seconds at 44.1 kHz: room for a worker that is held up by a slow disk.
    static constexpr int kDefaultFrames = 1 << 17;

    explicit MasterTap(int capacityFrames = kDefaultFrames) : ring_(capacityFrames) {}

    // --- Reader (one worker thread). Interleaved stereo float frames, in order.
    StereoRing& Ring() { return ring_; }
    // Frames the audio thread could not hand over because the ring was full.
    long long DroppedFrames() const { return dropped_.load(std::memory_order_relaxed); }
    // The engine's master frame (see MasterTaps::MasterFrames) of the ring's first frame; -1
    // until the first buffer arrived. Read it after seeing frames in the ring.
    int64_t FirstMasterFrame() const { return first_.load(std::memory_order_acquire); }

    // --- Audio thread.
    void Push(const float* frames, int count, int64_t masterFrame) noexcept;

private:
    StereoRing ring_;
    std::atomic<long long> dropped_{0};
    std::atomic<int64_t> first_{-1};
};

// The fixed set of tap slots the mixer feeds. Attach and Detach come from the control thread
// and return only once the audio thread can no longer be using the tap they replace.
class MasterTaps {
public:
    static constexpr int kSlots = 2;

    // `tap` may be null (same as Detach). Slots outside 0..kSlots-1 are ignored.
    void Attach(int slot, MasterTap* tap);
    void Detach(int slot) { Attach(slot, nullptr); }
    // Any thread: master frames rendered so far, the clock the taps' frames are placed on.
    int64_t MasterFrames() const { return frames_.load(std::memory_order_acquire); }

    // Audio thread, once per rendered buffer.
    void Feed(const float* out, int frames) noexcept;

private:
    std::array<std::atomic<MasterTap*>, kSlots> slots_{};
    std::atomic<bool> feeding_{false};
    std::atomic<int64_t> frames_{0};
};

// A start of play as the audio thread mixed it (Channel::LastStart, Engine::LastStart).
// `count` grows by one with each start of that player (0: none yet); `masterFrame` is where
// its first frame sits on the MasterFrames clock, `fileFrame` where it began in the file.
struct PlayStart {
    uint32_t count = 0;
    int64_t masterFrame = 0;
    int64_t fileFrame = 0;
};

// The slots by use.
inline constexpr int kRecordTap = 0;
inline constexpr int kBroadcastTap = 1;

}  // namespace corvane::audio
