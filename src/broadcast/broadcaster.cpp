#include "broadcast/broadcaster.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <ctime>

#include "broadcast/broadcast_session.h"

namespace corvane::broadcast {

namespace {
// The dropped-frames count in the status line changes at most this often.
constexpr std::chrono::seconds kDropReport{1};
constexpr int kWorkerNice = 5;
}  // namespace

Broadcaster::Broadcaster(Parts parts, int rate, QObject* parent)
    : QObject(parent), parts_(std::move(parts)) {
    if (parts_.clock == nullptr) parts_.clock = std::make_unique<SteadyClock>();
    session_ = std::make_unique<BroadcastSession>(
        BroadcastSession::Parts{parts_.connection.get(), parts_.encoder.get(), parts_.source,
                                parts_.clock.get()},
        rate);
    worker_ = std::thread([this] { Run(); });
}

Broadcaster::~Broadcaster() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    worker_.join();
    if (attached_ && parts_.attach) parts_.attach(false);
}

void Broadcaster::Connect(const BroadcastSettings& settings) {
    if (!attached_ && parts_.attach) parts_.attach(true);
    attached_ = true;
    {
        std::lock_guard lock(mutex_);
        start_ = settings;
        startSerial_ = ++connects_;
        stop_ = false;
    }
    wake_.notify_one();
}

void Broadcaster::Disconnect() {
    {
        std::lock_guard lock(mutex_);
        start_.reset();
        stop_ = true;
    }
    wake_.notify_one();
}

void Broadcaster::SetTitle(const QString& title) {
    {
        std::lock_guard lock(mutex_);
        title_ = title;
    }
    wake_.notify_one();
}

std::chrono::nanoseconds Broadcaster::WorkerCpuTime() const {
    clockid_t clock;
    timespec used{};
    if (pthread_getcpuclockid(const_cast<std::thread&>(worker_).native_handle(), &clock) != 0 ||
        clock_gettime(clock, &used) != 0)
        return {};
    return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
}

void Broadcaster::Run() {
    // Below the program's other threads: with seconds of the mix in its ring, the worker can
    // wait for a busy processor, the sound device's thread cannot.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);
    Report last{BroadcastState::Off, Failure::None, {}, 0};
    Failure told = Failure::None;
    int serial = 0;
    auto droppedAt = std::chrono::steady_clock::now();
    std::chrono::milliseconds wait{0};
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            const auto pending = [this] { return quit_ || stop_ || start_ || title_; };
            if (session_->State() == BroadcastState::Off)
                wake_.wait(lock, pending);
            else
                wake_.wait_for(lock, wait, pending);
            if (quit_) break;
            if (stop_) session_->Stop();
            if (start_) {
                settings_ = *start_;
                session_->Start(settings_);
                told = Failure::None;
                serial = startSerial_;
            }
            if (title_) session_->SetTitle(*title_);
            stop_ = false;
            start_.reset();
            title_.reset();
        }
        wait = session_->Step();
        const Report now{session_->State(), session_->LastFailure(), session_->RetryDelay(),
                         session_->DroppedFrames()};
        const auto clock = std::chrono::steady_clock::now();
        const bool droppedChanged = now.dropped != last.dropped && clock - droppedAt >= kDropReport;
        if (now.state == last.state && now.failure == last.failure && now.delay == last.delay &&
            !droppedChanged)
            continue;
        if (droppedChanged) droppedAt = clock;
        QString problem;
        if (now.state == BroadcastState::OnAir) {
            told = Failure::None;
        } else if (now.failure != Failure::None && now.failure != told) {
            problem = FailureText(now.failure, settings_);
            told = now.failure;
        }
        dropped_.store(now.dropped, std::memory_order_relaxed);
        Publish(serial, now,
                broadcast::StatusText(now.state, now.failure, now.delay, now.dropped, settings_),
                problem);
        last = now;
    }
    session_->Stop();
}

void Broadcaster::Publish(int serial, const Report& report, const QString& status,
                          const QString& problem) {
    QMetaObject::invokeMethod(
        this,
        [this, serial, state = report.state, status, problem] {
            // A report from before the last Connect says nothing of the new connection.
            if (serial != connects_) return;
            state_ = state;
            status_ = status;
            if (state == BroadcastState::Off && attached_) {
                if (parts_.attach) parts_.attach(false);
                attached_ = false;
            }
            Q_EMIT StateChanged(state, status);
            if (!problem.isEmpty()) Q_EMIT Problem(problem);
        },
        Qt::QueuedConnection);
}

}  // namespace corvane::broadcast
