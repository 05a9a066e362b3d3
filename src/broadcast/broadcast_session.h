#pragma once

#include <QString>
#include <chrono>
#include <vector>

#include "broadcast/broadcast_types.h"
#include "broadcast/retry_schedule.h"

namespace corvane::broadcast {

// The broadcast's state machine and pump, run on the broadcast worker: off → connecting →
// on the air → retrying (at growing delays) → connecting … It reads the mix from the source,
// encodes it and sends it; when the server falls behind, the mix is dropped and counted
// rather than queued without end. Single-threaded: everything is called from one thread.
class BroadcastSession {
public:
    // Give up on an attempt that has not been answered by then.
    static constexpr std::chrono::seconds kConnectTimeout{10};
    // Give up on a server that took none of the queued stream for this long.
    static constexpr std::chrono::seconds kStallTimeout{10};
    // Seconds of the stream allowed to wait for the server before the mix is dropped.
    static constexpr int kQueueSeconds = 4;

    struct Parts {
        StreamConnection* connection = nullptr;
        StreamEncoder* encoder = nullptr;
        FrameSource* source = nullptr;
        const Clock* clock = nullptr;
    };
    BroadcastSession(Parts parts, int rate);

    void Start(const BroadcastSettings& settings);
    void Stop();
    void SetTitle(const QString& title);
    // One round of work; returns how long the worker may wait before the next.
    std::chrono::milliseconds Step();

    BroadcastState State() const { return state_; }
    // Why the last attempt or connection failed; None once on the air again.
    Failure LastFailure() const { return failure_; }
    // The wait before the next attempt, while retrying.
    std::chrono::seconds RetryDelay() const { return retryDelay_; }
    // Frames of the mix that never went out because the server or the worker fell behind.
    long long DroppedFrames() const { return dropped_ + parts_.source->Dropped(); }

private:
    void StepConnecting();
    void StepOnAir();
    void Fail(Failure failure);
    bool StartEncoder();
    void StopEncoder();
    // Reads the source dry; with `send` false what it read is thrown away.
    void Drain(bool send);

    Parts parts_;
    int rate_;
    BroadcastSettings settings_;
    BroadcastState state_ = BroadcastState::Off;
    Failure failure_ = Failure::None;
    RetrySchedule schedule_;
    std::chrono::seconds retryDelay_{0};
    Clock::TimePoint retryAt_{};
    Clock::TimePoint attemptStart_{};
    Clock::TimePoint lastProgress_{};
    bool attempting_ = false;
    bool everOnAir_ = false;
    bool encoding_ = false;
    bool sendFailed_ = false;
    QString title_;
    bool titlePending_ = false;
    long long dropped_ = 0;
    std::vector<float> buffer_;
};

// The one message a failure gives (never the password).
QString FailureText(Failure failure, const BroadcastSettings& settings);
// The status line's text for a state.
QString StatusText(BroadcastState state, Failure failure, std::chrono::seconds retryDelay,
                   long long dropped, const BroadcastSettings& settings);

}  // namespace corvane::broadcast
