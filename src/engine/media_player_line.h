#pragma once

#include "engine/line_player.h"

namespace corvane::audio {
class MediaPlayer;
}

namespace corvane::engine {

// Lets the desk drive one of the engine's players. Holds a borrowed pointer: the engine owns
// the players for the whole run.
class MediaPlayerLine final : public LinePlayer {
public:
    explicit MediaPlayerLine(audio::MediaPlayer* player) : player_(player) {}

    audio::MediaPlayer* Player() const { return player_; }

    void OpenFile(const QString& path) override;
    void SetAutoStart(bool on) override;
    QString FileName() const override;
    void Play() override;
    void Stop() override;
    void Pause() override;
    double Position() const override;
    void SetPosition(double seconds) override;
    double Duration() const override;
    int PlayState() const override;
    QString LastError() const override;
    void SetRepeatCount(int count) override;
    void SetVolume(int hundredthsDb) override;
    void SetBalance(int hundredthsDb) override;
    // Scheduled in the engine when `current` is one of the engine's players too.
    bool PlayAfter(LinePlayer& current, double remainingSeconds) override;

private:
    audio::MediaPlayer* player_;
};

}  // namespace corvane::engine
