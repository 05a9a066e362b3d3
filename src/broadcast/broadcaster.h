#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "broadcast/broadcast_types.h"

namespace corvane::broadcast {

class BroadcastSession;

// Puts the master mix on the air. Encoding and sending run on a worker thread of their own,
// fed from the master tap: the audio callback and the UI never wait for the network. Made
// once in main(); its calls and signals belong to the UI thread.
class Broadcaster : public QObject {
    Q_OBJECT

public:
    struct Parts {
        std::unique_ptr<StreamConnection> connection;
        std::unique_ptr<StreamEncoder> encoder;
        FrameSource* source = nullptr;
        // Hooks the source to the master bus (true) or lets it go (false).
        std::function<void(bool)> attach;
        std::unique_ptr<Clock> clock;  // null: steady time
    };
    Broadcaster(Parts parts, int rate, QObject* parent = nullptr);
    ~Broadcaster() override;

    // Starts going on the air with these settings, or starts again with new ones.
    void Connect(const BroadcastSettings& settings);
    void Disconnect();
    // The title listeners see from now on.
    void SetTitle(const QString& title);

    // As last reported by the worker.
    BroadcastState State() const { return state_; }
    QString StatusText() const { return status_; }
    long long DroppedFrames() const { return dropped_.load(std::memory_order_relaxed); }
    // Processor time the worker thread has used so far.
    std::chrono::nanoseconds WorkerCpuTime() const;

Q_SIGNALS:
    void StateChanged(corvane::broadcast::BroadcastState state, const QString& status);
    // One message per fault, not one per attempt.
    void Problem(const QString& message);

private:
    struct Report {
        BroadcastState state;
        Failure failure;
        std::chrono::seconds delay;
        long long dropped;
    };
    void Run();
    void Publish(int serial, const Report& report, const QString& status, const QString& problem);

    Parts parts_;
    std::unique_ptr<BroadcastSession> session_;
    std::mutex mutex_;
    std::condition_variable wake_;
    // Commands for the worker, under mutex_.
    std::optional<BroadcastSettings> start_;
    bool stop_ = false;
    std::optional<QString> title_;
    bool quit_ = false;
    int startSerial_ = 0;
    int connects_ = 0;            // UI thread
    BroadcastSettings settings_;  // worker only
    bool attached_ = false;
    BroadcastState state_ = BroadcastState::Off;
    QString status_;
    std::atomic<long long> dropped_{0};
    std::thread worker_;
};

}  // namespace corvane::broadcast
