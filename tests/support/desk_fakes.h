#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "engine/fade_timer.h"
#include "engine/line_player.h"

namespace corvane::engine::testing {

// Records every write as text ("volume -332", "play") so tests can check order and values.
class FakeLinePlayer final : public LinePlayer {
public:
    void OpenFile(const QString& path) override {
        fileName = path;
        log.append(QStringLiteral("open ") + path);
    }
    void SetAutoStart(bool on) override {
        autoStart = on;
        log.append(QStringLiteral("autostart %1").arg(on));
    }
    QString FileName() const override { return fileName; }
    void Play() override {
        playState = kPlaying;
        log.append(QStringLiteral("play"));
    }
    void Stop() override {
        playState = kStopped;
        log.append(QStringLiteral("stop"));
    }
    void Pause() override {
        if (playState == kPlaying) playState = kPaused;
        log.append(QStringLiteral("pause"));
    }
    double Position() const override { return position; }
    void SetPosition(double seconds) override {
        position = seconds;
        log.append(QStringLiteral("position %1").arg(seconds));
    }
    double Duration() const override { return duration; }
    int PlayState() const override { return playState; }
    QString LastError() const override { return lastError; }
    void SetRepeatCount(int count) override {
        repeatCount = count;
        log.append(QStringLiteral("repeat %1").arg(count));
    }
    void SetVolume(int value) override {
        volume = value;
        log.append(QStringLiteral("volume %1").arg(value));
    }
    void SetBalance(int value) override {
        balance = value;
        log.append(QStringLiteral("balance %1").arg(value));
    }

    QStringList TakeLog() { return std::exchange(log, {}); }

    QString fileName;
    QString lastError;
    bool autoStart = false;
    double position = 0.0;
    double duration = 0.0;
    int playState = kStopped;
    int repeatCount = 1;
    int volume = 0;
    int balance = 0;
    QStringList log;
};

class FakeMasterVolume final : public MasterVolume {
public:
    bool Available() const override { return available; }
    int Minimum() const override { return minimum; }
    int Range() const override { return range; }
    void SetRaw(int value) override { writes.push_back(value); }

    bool available = true;
    int minimum = 0;
    int range = 65535;
    std::vector<int> writes;
};

// A timer that only ticks when the test says so.
class FakeFadeTimer final : public FadeTimer {
public:
    void SetCallback(std::function<void()> onTick) override { onTick_ = std::move(onTick); }
    void Start() override { active_ = true; }
    void Stop() override { active_ = false; }
    bool IsActive() const override { return active_; }

    // Fires one tick when running; false when it was stopped.
    bool Fire() {
        if (!active_) return false;
        onTick_();
        return true;
    }

private:
    std::function<void()> onTick_;
    bool active_ = false;
};

// Makes fake timers and keeps a pointer to each, in creation order (left fade, right fade).
struct FakeTimers {
    std::vector<FakeFadeTimer*> made;
    FadeTimerFactory Factory() {
        return [this] {
            auto timer = std::make_unique<FakeFadeTimer>();
            made.push_back(timer.get());
            return std::unique_ptr<FadeTimer>(std::move(timer));
        };
    }
    FakeFadeTimer& Left() { return *made.at(0); }
    FakeFadeTimer& Right() { return *made.at(1); }
};

}  // namespace corvane::engine::testing
