#include "appearance/ui/butt.h"

#include <QMouseEvent>
#include <QPainter>

#include "appearance/ui/units.h"

namespace corvane::appearance {
namespace {

const QColor kLightEdge(128, 128, 128);
const QColor kDarkEdge(64, 64, 64);

}  // namespace

Butt::Butt(QWidget* parent) : Butt(QStringLiteral("Butt"), parent) {}

Butt::Butt(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption), textColor_(ColorFromValue(kDefaultTextColor)) {
    setMouseTracking(true);
    // The desk's small caption face; the exact family is whatever small sans the system has.
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
}

void Butt::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
    Q_EMIT PropertyChanged(QStringLiteral("Caption"));
}

void Butt::TipChange() { setToolTip(tipText_); }

void Butt::ColChange(quint32 color) {
    textColor_ = ColorFromValue(color);
    update();
}

QSize Butt::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(caption_) + 12, metrics.height() + 6);
}

void Butt::SetPressed(bool pressed) {
    if (pressed_ == pressed) return;
    pressed_ = pressed;
    update();
}

void Butt::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const int w = width();
    const int h = height();
    if (pressed_) {
        // The caption's single-line border replaces the raised edges.
        painter.setPen(textColor_);
        painter.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    } else {
        const QPointF half(0.5, 0.5);
        painter.setPen(kLightEdge);
        painter.drawLine(QPointF(0, 0) + half, QPointF(w - 1, 0) + half);
        painter.drawLine(QPointF(0, 0) + half, QPointF(0, h - 1) + half);
        painter.setPen(kDarkEdge);
        painter.drawLine(QPointF(0, h - 1) + half, QPointF(w - 1, h - 1) + half);
        painter.drawLine(QPointF(w - 1, 0) + half, QPointF(w - 1, h - 1) + half);
    }
    painter.setPen(textColor_);
    // Pressed, the caption sinks by a pixel, the way a pushed key does.
    const QRect text = pressed_ ? rect().translated(1, 1) : rect();
    painter.drawText(text, Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

void Butt::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) SetPressed(true);
}

void Butt::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void Butt::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::LeftButton) {
        const QPointF at = PixelsToTwips(event->position());
        const QSizeF size = QSizeF(this->size()) * kTwipsPerPixel;
        SetPressed(at.x() >= 0 && at.y() >= 0 && at.x() <= size.width() && at.y() <= size.height());
    }
    Q_EMIT MouseOver();
}

void Butt::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = event->button() == Qt::LeftButton && pressed_;
    SetPressed(false);
    if (click) Q_EMIT Click();
}

}  // namespace corvane::appearance
