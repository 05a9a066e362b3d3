#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace corvane::bench {

// Runs the event loop until `done` holds or `ms` have passed; whether it holds.
inline bool Wait(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QCoreApplication::processEvents();
        if (!done()) QThread::usleep(100);
    }
    return done();
}

}  // namespace corvane::bench
