#include "app/first_paint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace corvane::app {

FirstPaint::FirstPaint(QWidget* window, std::function<void()> then)
    : QObject(window), then_(std::move(then)) {
    window->installEventFilter(this);
}

bool FirstPaint::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && then_) {
        watched->removeEventFilter(this);
        // After this paint has finished.
        QTimer::singleShot(0, this, [this] {
            std::function<void()> then = std::move(then_);
            then_ = nullptr;
            then();
            deleteLater();
        });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace corvane::app
