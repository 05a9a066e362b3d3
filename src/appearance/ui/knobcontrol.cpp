#include "appearance/ui/knobcontrol.h"

#include <QMouseEvent>
#include <QPainter>

#include "appearance/ui/units.h"

namespace corvane::appearance {

KnobControl::KnobControl(int widthTwips, int heightTwips, BuiltInPicture knob, BuiltInPicture track,
                         QWidget* parent)
    : QWidget(parent),
      knob_(ControlPicture::BuiltIn(knob)),
      track_(ControlPicture::BuiltIn(track)),
      builtInKnob_(knob) {
    // A fixed size also undoes any resize by the host.
    setFixedSize(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips));
    setMouseTracking(true);
}

void KnobControl::ToolTipChange(const QString& text) { setToolTip(text); }

void KnobControl::ShowLines(bool show) {
    linesVisible_ = show;
    update();
}

void KnobControl::SetCap(const QString& path) {
    // An unreadable file keeps the knob drawable: the built-in picture stands in.
    knob_ = ControlPicture::FromFile(path).value_or(ControlPicture::BuiltIn(builtInKnob_));
    update();
}

QSizeF KnobControl::KnobSize() const { return knob_.Size() * kTwipsPerPixel; }

double KnobControl::CentredAcross(Qt::Orientation travel) const {
    const QSizeF control = QSizeF(size()) * kTwipsPerPixel;
    return travel == Qt::Vertical ? (control.width() - KnobSize().width()) / 2
                                  : (control.height() - KnobSize().height()) / 2;
}

void KnobControl::SetBackground(const QPixmap& picture, QPointF offsetTwips) {
    background_ = picture;
    backgroundOffset_ = offsetTwips;
    update();
}

void KnobControl::SetTransparent(bool transparent) {
    transparent_ = transparent;
    update();
}

void KnobControl::DrawTwipsLine(QPainter& painter, QLineF twips) {
    const QPointF half(0.5, 0.5);
    painter.drawLine(
        QLineF(twips.p1() / kTwipsPerPixel + half, twips.p2() / kTwipsPerPixel + half));
}

void KnobControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!transparent_) painter.fillRect(rect(), palette().color(QPalette::Window));
    if (!background_.isNull()) {
        painter.drawPixmap(-backgroundOffset_ / kTwipsPerPixel, background_);
    }
    if (!transparent_) track_.Paint(painter, QPointF(0, 0));
    if (linesVisible_) {
        painter.save();
        PaintLines(painter);
        painter.restore();
    }
    knob_.Paint(painter, KnobPosition() / kTwipsPerPixel);
}

KnobControl::Part KnobControl::PartAt(QPointF twips) const {
    const QRectF knob(KnobPosition(), KnobSize());
    if (knob.contains(twips)) return Part::Knob;
    const QRectF track(QPointF(0, 0), QSizeF(size()) * kTwipsPerPixel);
    return track.contains(twips) ? Part::Track : Part::Surface;
}

QPointF KnobControl::InPart(Part part, QPointF twips) const {
    return part == Part::Knob ? twips - KnobPosition() : twips;
}

KnobControl::Part KnobControl::Capture(QPointF twips) {
    // A second button pressed during a drag stays with the part the drag began on.
    if (!capturing_) {
        captured_ = PartAt(twips);
        capturing_ = true;
    }
    return captured_;
}

void KnobControl::mousePressEvent(QMouseEvent* event) {
    const QPointF at = PixelsToTwips(event->position());
    const Part part = Capture(at);
    PartPressed(part, InPart(part, at), event->button());
}

void KnobControl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPointF at = PixelsToTwips(event->position());
    const Part part = Capture(at);
    PartDoubleClicked(part, InPart(part, at), event->button());
}

void KnobControl::PartDoubleClicked(Part part, QPointF at, Qt::MouseButton button) {
    PartPressed(part, at, button);
}

void KnobControl::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = PixelsToTwips(event->position());
    const Part part = capturing_ ? captured_ : PartAt(at);
    PartMoved(part, InPart(part, at), event->buttons());
}

void KnobControl::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF at = PixelsToTwips(event->position());
    const Part part = capturing_ ? captured_ : PartAt(at);
    if (event->buttons() == Qt::NoButton) capturing_ = false;
    PartReleased(part, InPart(part, at), event->button());
}

}  // namespace corvane::appearance
