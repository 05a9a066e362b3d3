#include "mixer/ui/on_top.h"

#include <QWidget>

namespace corvane::mixer {

void SetOnTop(QWidget* window, bool onTop) {
    if (window == nullptr) return;
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    // Changing a window's flags hides it; show it again where it was.
    const bool visible = window->isVisible();
    const QPoint where = window->pos();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible) {
        window->move(where);
        window->show();
    }
}

}  // namespace corvane::mixer
