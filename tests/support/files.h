#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QThread>
#include <functional>
#include <memory>

namespace corvane {

// A file made by the fixtures target in the build tree.
inline QString Fixture(const char* name) {
    return QStringLiteral(CORVANE_BINARY_DIR "/fixtures/") + QLatin1String(name);
}

// The whole file; empty when it cannot be read.
inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits, delivering queued events when there is an application, until `done` or `ms` have
// passed; returns `done()`.
inline bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return done();
}

// The process's application object when there is none yet (App = QApplication for widgets);
// null when one exists. The caller keeps it for as long as its tests run.
template <class App = QCoreApplication>
std::unique_ptr<QCoreApplication> StartApplication() {
    if (QCoreApplication::instance() != nullptr) return nullptr;
    static int argc = 1;
    static char name[] = "corvane_tests";
    static char* argv[] = {name, nullptr};
    return std::make_unique<App>(argc, argv);
}

}  // namespace corvane
