#pragma once

class QWidget;

namespace corvane::mixer {

// Keeps a window above all others, or puts it back among them, without moving or resizing it.
void SetOnTop(QWidget* window, bool onTop);

}  // namespace corvane::mixer
