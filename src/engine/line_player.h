#pragma once

#include <QString>

namespace corvane::engine {

// The operations the desk needs from a line's player. The engine's MediaPlayer provides them
// through MediaPlayerLine (media_player_line.h); tests use a fake that records every write.
class LinePlayer {
public:
    static constexpr int kStopped = 0;
    static constexpr int kPaused = 1;
    static constexpr int kPlaying = 2;
    static constexpr int kLoopForever = 999999;
    // Open states of the notifications.
    static constexpr int kClosed = 0;
    static constexpr int kOpening = 1;
    static constexpr int kOpen = 6;

    virtual ~LinePlayer() = default;

    virtual void OpenFile(const QString& path) = 0;
    virtual void SetAutoStart(bool on) = 0;
    virtual QString FileName() const = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    // Holds a playing song where it is; Play then carries on from there.
    virtual void Pause() {}
    virtual double Position() const = 0;
    virtual void SetPosition(double seconds) = 0;
    virtual double Duration() const = 0;
    virtual int PlayState() const = 0;
    // Why the last open failed (the decoder's reason); empty when it did not.
    virtual QString LastError() const { return {}; }
    virtual void SetRepeatCount(int count) = 0;
    // Hundredths of a decibel: 0 full, -10000 silent.
    virtual void SetVolume(int hundredthsDb) = 0;
    // Same units; negative toward the left, positive toward the right.
    virtual void SetBalance(int hundredthsDb) = 0;
    // Starts this (loaded, stopped) player at the exact output frame where `current` has
    // `remainingSeconds` left to play, so an overlap does not wait for the next main tick.
    // False when it cannot be scheduled; the caller then starts it with Play on its own. A
    // later Play starts it at once (no harm once it has started); Stop or OpenFile cancels it.
    virtual bool PlayAfter(LinePlayer& current, double remainingSeconds) {
        (void)current;
        (void)remainingSeconds;
        return false;
    }
};

// The system's master volume control, driven by line 7. Absent (nullptr) until the system
// mixer is initialised; then line 7's slider changes nothing.
class MasterVolume {
public:
    virtual ~MasterVolume() = default;

    virtual bool Available() const = 0;
    virtual int Minimum() const = 0;
    // Maximum minus minimum.
    virtual int Range() const = 0;
    virtual void SetRaw(int value) = 0;
};

}  // namespace corvane::engine
