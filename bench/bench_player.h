#pragma once

#include "engine/line_player.h"

namespace corvane::bench {

// A player that accepts every call at once and holds only what the benchmarks read back: the
// floor under the desk's and the AutoPilot's own work.
class BenchPlayer final : public engine::LinePlayer {
public:
    void OpenFile(const QString& path) override { fileName = path; }
    void SetAutoStart(bool) override {}
    QString FileName() const override { return fileName; }
    void Play() override {}
    void Stop() override {}
    double Position() const override { return 0.0; }
    void SetPosition(double) override {}
    double Duration() const override { return duration; }
    int PlayState() const override { return playState; }
    void SetRepeatCount(int) override {}
    void SetVolume(int) override {}
    void SetBalance(int) override {}

    QString fileName;
    double duration = 0.0;
    int playState = kStopped;
};

}  // namespace corvane::bench
