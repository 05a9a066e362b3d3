#include "engine/fade_timer.h"

#include <QTimer>

namespace corvane::engine {

namespace {

class QtFadeTimer final : public FadeTimer {
public:
    explicit QtFadeTimer(int intervalMs) {
        timer_.setInterval(intervalMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (onTick_) onTick_();
        });
    }

    void SetCallback(std::function<void()> onTick) override { onTick_ = std::move(onTick); }
    void Start() override { timer_.start(); }
    void Stop() override { timer_.stop(); }
    bool IsActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> onTick_;
};

}  // namespace

std::unique_ptr<FadeTimer> MakeQtFadeTimer(int intervalMs) {
    return std::make_unique<QtFadeTimer>(intervalMs);
}

}  // namespace corvane::engine
