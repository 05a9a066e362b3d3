#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace corvane::app {

// Runs `then` once, from the event loop, after `window` has painted for the first time: work
// that can wait (opening the sound device) starts only once the window is on the screen.
// Owned by the window; goes once it has run.
class FirstPaint : public QObject {
    Q_OBJECT

public:
    FirstPaint(QWidget* window, std::function<void()> then);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> then_;
};

}  // namespace corvane::app
