#include "app/shown_report.h"

#include <time.h>

#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace corvane::app {

ShownReport::ShownReport(QWidget* window, std::function<void()> then)
    : QObject(window), then_(std::move(then)) {
    window->installEventFilter(this);
}

qint64 ShownReport::MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

qint64 ShownReport::PeakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

bool ShownReport::eventFilter(QObject* watched, QEvent* event) {
    if (!done_ && event->type() == QEvent::Paint) {
        done_ = true;
        // After this paint has finished.
        QTimer::singleShot(0, this, [this] {
            std::fprintf(stderr, "shown_ns=%lld peak_kb=%lld\n",
                         static_cast<long long>(MonotonicNs()), static_cast<long long>(PeakKb()));
            std::fprintf(stderr, "exit_ns=%lld\n", static_cast<long long>(MonotonicNs()));
            std::fflush(stderr);
            then_();
        });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace corvane::app
