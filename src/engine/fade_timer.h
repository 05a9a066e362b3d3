#pragma once

#include <functional>
#include <memory>

namespace corvane::engine {

// A repeating timer as the crossfader sees it, so tests can fire ticks by hand.
class FadeTimer {
public:
    virtual ~FadeTimer() = default;

    // Called on every tick while active.
    virtual void SetCallback(std::function<void()> onTick) = 0;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
};

using FadeTimerFactory = std::function<std::unique_ptr<FadeTimer>()>;

// A QTimer with the given interval, on the thread that calls Start.
std::unique_ptr<FadeTimer> MakeQtFadeTimer(int intervalMs);

}  // namespace corvane::engine
