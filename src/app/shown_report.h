#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace corvane::app {

// For the start-up benchmark (bench/startup.sh): once `window` has painted for the first time,
// prints the monotonic clock and the peak memory on standard error, then runs `then`.
class ShownReport : public QObject {
    Q_OBJECT

public:
    ShownReport(QWidget* window, std::function<void()> then);

    // The monotonic clock in nanoseconds, as the benchmark script reads it.
    static qint64 MonotonicNs();
    // The process's peak resident memory (VmHWM) in KiB; 0 when unknown.
    static qint64 PeakKb();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> then_;
    bool done_ = false;
};

}  // namespace corvane::app
