#include "appearance/ui/picturebutton.h"

#include <QMouseEvent>
#include <QPainter>
#include <utility>

#include "appearance/ui/units.h"

namespace corvane::appearance {
namespace {

std::pair<BuiltInPicture, BuiltInPicture> PicturesOf(ButtonKind kind) {
    using P = BuiltInPicture;
    switch (kind) {
        case ButtonKind::Open:
            return {P::Open, P::Open};
        case ButtonKind::Play:
            return {P::Play, P::Play};
        case ButtonKind::Stop:
            return {P::Stop, P::Stop};
        case ButtonKind::Loop:
            return {P::LoopW, P::LoopR};
        case ButtonKind::FadeLeft:
            return {P::FadeLeftW, P::FadeLeftR};
        case ButtonKind::FadeRight:
            return {P::FadeRightW, P::FadeRightR};
        case ButtonKind::AlwaysOn:
            return {P::OnW, P::OnG};
        case ButtonKind::AutoPlay:
            return {P::AutoPlay, P::AutoPlay};
        case ButtonKind::AutoStop:
            return {P::AutoStop, P::AutoStop};
        case ButtonKind::AutoNext:
            return {P::AutoNext, P::AutoNext};
    }
    return {P::Open, P::Open};
}

}  // namespace

PictureButton::PictureButton(ButtonKind kind, QWidget* parent)
    : QWidget(parent),
      kind_(kind),
      unlit_(ControlPicture::BuiltIn(PicturesOf(kind).first)),
      litPicture_(ControlPicture::BuiltIn(PicturesOf(kind).second)) {
    setFixedSize(TwipsToPixels(kSizeTwips), TwipsToPixels(kSizeTwips));
    setMouseTracking(true);
}

QSize PictureButton::sizeHint() const {
    return QSize(TwipsToPixels(kSizeTwips), TwipsToPixels(kSizeTwips));
}

void PictureButton::SetLit(bool lit) {
    lit_ = lit;
    update();
}

void PictureButton::ToolTipChange(const QString& text) { setToolTip(text); }

void PictureButton::SetArmed(bool armed) {
    if (armed_ == armed) return;
    armed_ = armed;
    update();
}

bool PictureButton::ActsOnRelease() const {
    switch (kind_) {
        case ButtonKind::Loop:
        case ButtonKind::FadeLeft:
        case ButtonKind::FadeRight:
        case ButtonKind::AlwaysOn:
            return false;
        default:
            return true;
    }
}

void PictureButton::Press() {
    if (ActsOnRelease()) SetArmed(true);
}

void PictureButton::Release() {
    const bool act = armed_;
    SetArmed(false);
    if (act) Q_EMIT Click();
}

void PictureButton::paintEvent(QPaintEvent*) {
    // No background of its own: a face's picture shows around the drawing.
    QPainter painter(this);
    (lit_ ? litPicture_ : unlit_).Paint(painter, QPointF(0, 0));
    if (armed_) {
        painter.setPen(ColorFromValue(kDefaultTextColor));
        painter.drawRect(QRectF(0.5, 0.5, width() - 1, height() - 1));
    }
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) Press();
    Q_EMIT MouseDown(event->button());
}

void PictureButton::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void PictureButton::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT MouseOver();
    if (!ActsOnRelease() || !LeftHeld(event->buttons())) return;
    const QPointF at = PixelsToTwips(event->position());
    const QSizeF size = QSizeF(this->size()) * kTwipsPerPixel;
    SetArmed(at.x() >= 0 && at.y() >= 0 && at.x() < size.width() && at.y() < size.height());
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Release();
    } else {
        SetArmed(armed_ && LeftHeld(event->buttons()));
    }
    Q_EMIT MouseUp(event->button());
}

}  // namespace corvane::appearance
