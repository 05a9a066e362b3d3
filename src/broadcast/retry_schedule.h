#pragma once

#include <algorithm>
#include <chrono>

namespace corvane::broadcast {

// How long to wait before the next attempt at reaching the server: 1 s, then twice as long
// each time up to 30 s, from the start again once on the air.
class RetrySchedule {
public:
    static constexpr std::chrono::seconds kFirst{1};
    static constexpr std::chrono::seconds kLongest{30};

    std::chrono::seconds Next() {
        const std::chrono::seconds delay = next_;
        next_ = std::min(next_ * 2, kLongest);
        return delay;
    }
    void Reset() { next_ = kFirst; }

private:
    std::chrono::seconds next_ = kFirst;
};

}  // namespace corvane::broadcast
