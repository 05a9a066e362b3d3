#include "appearance/ui/position_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace corvane::appearance {

PositionBar::PositionBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kHeight);
    setMouseTracking(true);
}

void PositionBar::SetPeaks(std::vector<uint8_t> peaks) {
    if (peaks == peaks_) return;
    peaks_ = std::move(peaks);
    update();
}

int PositionBar::HeadPixel(double fraction) const {
    return static_cast<int>(std::floor(fraction * width() * devicePixelRatioF()));
}

void PositionBar::SetProgress(double fraction) {
    fraction = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    const bool moved = HeadPixel(fraction) != HeadPixel(progress_);
    progress_ = fraction;
    if (moved) update();
}

void PositionBar::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (!active) dragging_ = false;
    update();
}

void PositionBar::SetColors(const QColor& rest, const QColor& played, const QColor& head) {
    rest_ = rest;
    played_ = played;
    head_ = head;
    update();
}

void PositionBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Whole device pixels: crisp columns on a HiDPI screen too.
    const double ratio = devicePixelRatioF();
    painter.scale(1.0 / ratio, 1.0 / ratio);
    const int columns = static_cast<int>(std::lround(width() * ratio));
    const int height = static_cast<int>(std::lround(this->height() * ratio));
    const double middle = height / 2.0;
    const int head = active_ ? HeadPixel(progress_) : 0;
    const int baseline = std::max(1, static_cast<int>(std::lround(ratio)));
    const auto bins = static_cast<long long>(peaks_.size());
    for (int x = 0; x < columns; ++x) {
        double half = baseline / 2.0;
        if (bins > 0) {
            const long long first = x * bins / columns;
            const long long last = std::max(first + 1, (x + 1) * bins / columns);
            const uint8_t peak = *std::max_element(peaks_.begin() + first, peaks_.begin() + last);
            half = std::max(half, peak / 255.0 * (middle - 1.0));
        }
        const QColor& color = x < head ? played_ : rest_;
        painter.fillRect(QRectF(x, middle - half, 1.0, 2.0 * half), color);
    }
    if (active_)
        painter.fillRect(QRectF(std::min(head, columns - baseline), 0, baseline, height), head_);
}

double PositionBar::FractionAt(double x) const {
    return width() > 0 ? std::clamp(x / width(), 0.0, 1.0) : 0.0;
}

void PositionBar::Seek(double x) {
    const double fraction = FractionAt(x);
    const int pixel = HeadPixel(fraction);
    if (pixel == lastSeekPixel_) return;  // a drag within one pixel asks nothing new
    lastSeekPixel_ = pixel;
    Q_EMIT SeekRequested(fraction);
}

void PositionBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        Q_EMIT PauseRequested();
    } else if (event->button() == Qt::LeftButton && active_) {
        dragging_ = true;
        lastSeekPixel_ = -1;
        Seek(event->position().x());
    }
    event->accept();
}

void PositionBar::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT MouseOver();
    if (dragging_ && (event->buttons() & Qt::LeftButton)) Seek(event->position().x());
    event->accept();
}

void PositionBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    event->accept();
}

}  // namespace corvane::appearance
