#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace corvane::audio {

// Lock-free single-producer/single-consumer ring of interleaved stereo float frames. The
// indices only ever grow (64 bits never wrap in practice), so "how much is there" is a plain
// subtraction and stream positions can be expressed as ring indices.
class StereoRing {
public:
    // `capacityFrames` is rounded up to a power of two.
    explicit StereoRing(int capacityFrames) {
        int capacity = 1;
        while (capacity < capacityFrames) capacity <<= 1;
        capacity_ = capacity;
        data_.assign(static_cast<size_t>(capacity) * 2, 0.0f);
    }

    int Capacity() const { return capacity_; }

    // Producer side. A contiguous writable region (may be shorter than the free space when it
    // reaches the end of the storage).
    float* WriteRegion(int* frames) {
        const int64_t w = write_.load(std::memory_order_relaxed);
        const int64_t r = read_.load(std::memory_order_acquire);
        const int free = capacity_ - static_cast<int>(w - r);
        const int offset = static_cast<int>(w & (capacity_ - 1));
        *frames = std::min(free, capacity_ - offset);
        return data_.data() + static_cast<size_t>(offset) * 2;
    }
    void CommitWrite(int frames) {
        write_.store(write_.load(std::memory_order_relaxed) + frames, std::memory_order_release);
    }
    int FreeFrames() const {
        return capacity_ - static_cast<int>(write_.load(std::memory_order_relaxed) -
                                            read_.load(std::memory_order_acquire));
    }
    int64_t WriteIndex() const { return write_.load(std::memory_order_relaxed); }

    // Consumer side.
    const float* ReadRegion(int* frames) const {
        const int64_t r = read_.load(std::memory_order_relaxed);
        const int64_t w = write_.load(std::memory_order_acquire);
        const int offset = static_cast<int>(r & (capacity_ - 1));
        *frames = std::min(static_cast<int>(w - r), capacity_ - offset);
        return data_.data() + static_cast<size_t>(offset) * 2;
    }
    void CommitRead(int frames) {
        read_.store(read_.load(std::memory_order_relaxed) + frames, std::memory_order_release);
    }
    int64_t ReadIndex() const { return read_.load(std::memory_order_relaxed); }
    int AvailableFrames() const {
        return static_cast<int>(write_.load(std::memory_order_acquire) -
                                read_.load(std::memory_order_relaxed));
    }

    // Only while neither side can be using the ring.
    void Reset() {
        read_.store(0, std::memory_order_relaxed);
        write_.store(0, std::memory_order_relaxed);
    }

private:
    int capacity_ = 0;
    std::vector<float> data_;
    alignas(64) std::atomic<int64_t> write_{0};
    alignas(64) std::atomic<int64_t> read_{0};
};

// Lock-free single-producer/single-consumer queue of small values, fixed capacity.
template <typename T, int N>
class SpscQueue {
    static_assert((N & (N - 1)) == 0, "capacity must be a power of two");

public:
    bool Push(const T& value) {
        const uint32_t t = tail_.load(std::memory_order_relaxed);
        if (t - head_.load(std::memory_order_acquire) == N) return false;
        items_[t & (N - 1)] = value;
        tail_.store(t + 1, std::memory_order_release);
        return true;
    }
    const T* Peek() const {
        const uint32_t h = head_.load(std::memory_order_relaxed);
        if (h == tail_.load(std::memory_order_acquire)) return nullptr;
        return &items_[h & (N - 1)];
    }
    void Pop() {
        head_.store(head_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    }
    bool Full() const {
        return tail_.load(std::memory_order_relaxed) - head_.load(std::memory_order_acquire) == N;
    }
    // Only while neither side can be using the queue.
    void Reset() {
        head_.store(0, std::memory_order_relaxed);
        tail_.store(0, std::memory_order_relaxed);
    }

private:
    std::array<T, N> items_{};
    std::atomic<uint32_t> head_{0};
    std::atomic<uint32_t> tail_{0};
};

}  // namespace corvane::audio
