#include "app/desk_label.h"

#include <QFontMetrics>
#include <QMouseEvent>

namespace corvane::app {

DeskLabel::DeskLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setMouseTracking(true);
}

void DeskLabel::SetTextColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, color);
    setPalette(colors);
}

void DeskLabel::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT MouseOver();
    event->accept();
}

void DeskLabel::mousePressEvent(QMouseEvent* event) {
    Q_EMIT Pressed(event->button());
    event->accept();
}

void DeskLabel::mouseReleaseEvent(QMouseEvent* event) {
    Q_EMIT Released(event->button());
    event->accept();
}

void DeskLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    Q_EMIT DoubleClicked();
    event->accept();
}

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : DeskLabel(QString(), parent) {
    SetFullText(text);
}

void ElidedLabel::SetFullText(const QString& text) {
    full_ = text;
    Elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    DeskLabel::resizeEvent(event);
    Elide();
}

void ElidedLabel::Elide() {
    setText(fontMetrics().elidedText(full_, Qt::ElideRight, qMax(0, width() - 2)));
}

}  // namespace corvane::app
