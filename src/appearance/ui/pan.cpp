#include "appearance/ui/pan.h"

#include <QPainter>
#include <algorithm>

#include "appearance/ui/units.h"

namespace corvane::appearance {
namespace {

constexpr int kDragTop = -2600;
constexpr int kDragBottom = 2900;
// Any drag position strictly within this distance of the centre gives exactly 0.
constexpr int kSnap = 60;
constexpr int kValuePerTwip = 7;

}  // namespace

Pan::Pan(QWidget* parent)
    : KnobControl(kWidthTwips, kHeightTwips, BuiltInPicture::PanKnob, BuiltInPicture::PanTrack,
                  parent) {}

void Pan::MakeTrans(bool clear) { SetTransparent(clear); }

QPointF Pan::KnobPosition() const { return QPointF(knobLeft_, CentredAcross(Qt::Horizontal)); }

void Pan::UpdatePan() {
    value_ = int(std::clamp(RoundEven((knobLeft_ - kKnobCentre) * kValuePerTwip),
                            double(-kMaxValue), double(kMaxValue)));
    update();
    Q_EMIT Scroll();
}

void Pan::PartPressed(Part part, QPointF at, Qt::MouseButton button) {
    if (part == Part::Knob && button == Qt::LeftButton) grabOffset_ = int(RoundEven(at.x()));
}

void Pan::PartDoubleClicked(Part part, QPointF at, Qt::MouseButton button) {
    if (part != Part::Track) return PartPressed(part, at, button);
    knobLeft_ = kKnobCentre;
    UpdatePan();
}

void Pan::PartMoved(Part part, QPointF at, Qt::MouseButtons buttons) {
    if (part != Part::Knob) return;
    Q_EMIT MouseOver();
    if (at.y() < kDragTop || at.y() > kDragBottom || !LeftHeld(buttons)) return;
    const double p = knobLeft_ + at.x() - grabOffset_;
    const bool snaps = p > kKnobCentre - kSnap && p < kKnobCentre + kSnap;
    knobLeft_ = snaps ? kKnobCentre : std::clamp(p, 0.0, double(kKnobTravel));
    UpdatePan();
}

void Pan::PartReleased(Part, QPointF, Qt::MouseButton) {}

void Pan::PaintLines(QPainter& painter) const {
    // A centre mark, so the snap point is visible at a glance.
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    const double centre = kKnobCentre + KnobSize().width() / 2;
    DrawTwipsLine(painter, QLineF(centre, 0, centre, 45));
    DrawTwipsLine(painter, QLineF(centre, kHeightTwips - 60, centre, kHeightTwips - 15));
}

}  // namespace corvane::appearance
