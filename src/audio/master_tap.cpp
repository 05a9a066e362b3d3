#include "audio/master_tap.h"

#include <algorithm>
#include <thread>

namespace corvane::audio {

void MasterTap::Push(const float* frames, int count, int64_t masterFrame) noexcept {
    if (ring_.FreeFrames() < count) {
        dropped_.fetch_add(count, std::memory_order_relaxed);
        return;
    }
    if (first_.load(std::memory_order_relaxed) < 0)
        first_.store(masterFrame, std::memory_order_release);
    int done = 0;
    while (done < count) {
        int room = 0;
        float* region = ring_.WriteRegion(&room);
        const int n = std::min(room, count - done);
        std::copy(frames + 2 * static_cast<long>(done), frames + 2 * static_cast<long>(done + n),
                  region);
        ring_.CommitWrite(n);
        done += n;
    }
}

void MasterTaps::Attach(int slot, MasterTap* tap) {
    if (slot < 0 || slot >= kSlots) return;
    // Both sides use sequentially consistent order: either Feed sees the new pointer, or this
    // sees Feed running and waits for it to leave.
    slots_[slot].store(tap, std::memory_order_seq_cst);
    while (feeding_.load(std::memory_order_seq_cst)) std::this_thread::yield();
}

void MasterTaps::Feed(const float* out, int frames) noexcept {
    const int64_t at = frames_.load(std::memory_order_relaxed);
    feeding_.store(true, std::memory_order_seq_cst);
    for (auto& slot : slots_)
        if (MasterTap* tap = slot.load(std::memory_order_seq_cst)) tap->Push(out, frames, at);
    feeding_.store(false, std::memory_order_release);
    frames_.store(at + frames, std::memory_order_release);
}

}  // namespace corvane::audio
