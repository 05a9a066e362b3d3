#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

#include "audio/player_worker.h"

namespace corvane::audio {

class Channel;

// The media player of one line (or one of the AutoPilot's two): a UI-thread object over a
// mixer channel and its decoder worker. Operations return at once; the open and the end of
// play are reported through the two notifications, delivered on the UI thread.
//
// Open states: 0 closed (also after a failed open), 1 opening, 6 open.
// Play states: 0 stopped, 1 paused, 2 playing.
// A player made without a channel (a missing index) accepts every call and does nothing.
class MediaPlayer : public QObject, private WorkerEvents {
    Q_OBJECT

public:
    static constexpr int kClosed = 0;
    static constexpr int kOpening = 1;
    static constexpr int kOpen = 6;
    static constexpr int kStopped = 0;
    static constexpr int kPaused = 1;
    static constexpr int kPlaying = 2;

    MediaPlayer(int index, Channel* channel, DecoderFactory factory, int rate, DataSignal* signal,
                QObject* parent = nullptr);
    ~MediaPlayer() override;

    int Index() const { return index_; }
    // Lets the decoder top up its buffer now rather than at its next poll.
    void WakeWorker() {
        if (worker_ != nullptr) worker_->Wake();
    }

    // Loads `path` (an empty path closes the player); playback starts once it is open only
    // when AutoStart is on.
    void OpenFile(const QString& path);
    bool AutoStart() const { return autoStart_; }
    void SetAutoStart(bool on) { autoStart_ = on; }
    // The file loaded or being loaded; empty when none.
    QString FileName() const { return fileName_; }
    void SetFileName(const QString& path) { OpenFile(path); }
    // Why the last open failed, for a status line or the debug log.
    QString LastError() const { return lastError_; }

    // From a pause, Play carries on where the pause left the song.
    void Play();
    void Stop();
    // Holds a playing song where it is (a short fade, no click); Play resumes it.
    void Pause();
    // Starts this player (open, stopped) at the exact output frame where `current` (playing,
    // of the same engine) has `remainingSeconds` left. The play state turns to playing with the
    // next Play, which makes no audible change once the start has happened; Stop or OpenFile
    // cancels it. False when it cannot be scheduled.
    bool PlayAfter(const MediaPlayer& current, double remainingSeconds);
    // Seconds heard from the start of the file (within the current pass of a loop).
    // Duration is the decoder's figure after opening, corrected once the whole file has been
    // decoded (formats whose header does not tell the length).
    double Position() const;
    void SetPosition(double seconds);
    double Duration() const;

    int PlayState() const { return playState_; }
    int OpenState() const { return openState_; }
    int RepeatCount() const { return repeatCount_; }
    void SetRepeatCount(int count);
    int Volume() const { return volume_; }
    void SetVolume(int hundredthsDb);
    int Balance() const { return balance_; }
    void SetBalance(int hundredthsDb);

Q_SIGNALS:
    void OpenStateChanged(int index, int oldState, int newState);
    void PlayStateChanged(int index, int oldState, int newState);

private:
    // WorkerEvents, called on the worker thread: each hops to the UI thread.
    void Opened(uint64_t serial, long long lengthFrames) override;
    void OpenFailed(uint64_t serial, const QString& error) override;
    void SeekFailed(uint64_t serial) override;
    void Ended(uint32_t playSerial) override;
    void LengthFound(uint64_t openSerial, long long lengthFrames) override;

    void CancelScheduledStart();
    void SetOpenState(int state);
    void SetPlayState(int state);
    uint64_t NextRequest();

    const int index_;
    Channel* channel_;
    const int rate_;
    std::unique_ptr<PlayerWorker> worker_;

    QString fileName_;
    QString lastError_;
    int openState_ = kClosed;
    int playState_ = kStopped;
    bool autoStart_ = false;
    bool startWhenOpen_ = false;
    bool atEnd_ = false;
    bool scheduled_ = false;  // a start waits in the channel (PlayAfter)
    int repeatCount_ = 1;
    int volume_ = 0;
    int balance_ = 0;
    long long lengthFrames_ = 0;

    uint64_t serial_ = 0;      // last request (open or seek) sent to the worker
    uint64_t openSerial_ = 0;  // the open that FileName names
    uint64_t failedSeek_ = 0;
    double requestedPosition_ = 0.0;
    uint32_t playSerial_ = 0;
};

}  // namespace corvane::audio
