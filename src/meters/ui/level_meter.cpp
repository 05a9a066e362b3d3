#include "meters/ui/level_meter.h"

#include <QMouseEvent>
#include <QPainter>

#include "meters/meter_bank.h"

namespace corvane::meters {

namespace {
constexpr int kClipHeight = 4;
// The unlit part of a bar and an unlit clip light: the colour, faint.
QColor Dim(QColor color) {
    color.setAlphaF(0.22f);
    return color;
}
}  // namespace

LevelMeter::LevelMeter(MeterBank& bank, int meter, QWidget* parent)
    : QWidget(parent), bank_(bank), meter_(meter) {
    const int channels = bank.Channels(meter);
    setFixedWidth(channels * kBarWidth + (channels - 1) * kGap);
    // It paints every pixel of its own, so nothing under it is painted again 30 times a second.
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&bank, &MeterBank::Changed, this, [this](int which) {
        if (which == meter_) update();
    });
}

void LevelMeter::SetColors(const QColor& led, const QColor& hilite, const QColor& back) {
    led_ = led;
    hilite_ = hilite;
    back_ = back;
    update();
}

void LevelMeter::paintEvent(QPaintEvent*) {
    ++paints_;
    QPainter painter(this);
    painter.fillRect(rect(), back_);
    // Fractional rectangles in logical pixels: a HiDPI screen gets its finer steps.
    const qreal barTop = kClipHeight + 1;
    const qreal barHeight = height() - barTop;
    for (int c = 0; c < bank_.Channels(meter_); ++c) {
        const MeterChannel& channel = bank_.Channel(meter_, c);
        const qreal x = c * (kBarWidth + kGap);
        painter.fillRect(QRectF(x, 0, kBarWidth, kClipHeight),
                         channel.Clipped() ? hilite_ : Dim(hilite_));
        const QRectF bar(x, barTop, kBarWidth, barHeight);
        painter.fillRect(bar, back_.darker(150));
        painter.fillRect(bar, Dim(led_));
        const qreal level = barHeight * ScaleFraction(channel.LevelDb());
        painter.fillRect(QRectF(x, bar.bottom() - level, kBarWidth, level), led_);
        if (channel.HoldDb() > kFloorDb) {
            const qreal hold = barHeight * ScaleFraction(channel.HoldDb());
            painter.fillRect(QRectF(x, bar.bottom() - hold, kBarWidth, 1.0), led_.lighter(130));
        }
    }
}

void LevelMeter::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) bank_.ResetClip(meter_);
    QWidget::mousePressEvent(event);
}

}  // namespace corvane::meters
