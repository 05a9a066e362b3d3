#include "appearance/ui/minislider.h"

#include <QPainter>
#include <algorithm>
#include <array>

#include "appearance/ui/units.h"

namespace corvane::appearance {
namespace {

// The marks narrow from the top (loud) to the bottom (quiet); the last one is the centre line.
constexpr std::array<QLineF, 9> kTickLines = {
    QLineF(60, 120, 540, 120),    QLineF(60, 300, 540, 300),    QLineF(120, 480, 480, 480),
    QLineF(120, 660, 480, 660),   QLineF(180, 840, 420, 840),   QLineF(180, 1020, 420, 1020),
    QLineF(240, 1200, 360, 1200), QLineF(240, 1380, 360, 1380), QLineF(300, 0, 300, 1440),
};
constexpr double kTwipsPerStep = 10.65;
constexpr int kDragLeft = -2500;
constexpr int kDragRight = 2860;

bool InDragWindow(double x) { return x >= kDragLeft && x <= kDragRight; }

}  // namespace

MiniSlider::MiniSlider(QWidget* parent)
    : KnobControl(kWidthTwips, kHeightTwips, BuiltInPicture::SliderKnob,
                  BuiltInPicture::SliderTrack, parent) {}

void MiniSlider::SetValue(int value) {
    if (value < 0 || value > 100) return;
    // Whole-number arithmetic: (100 - v) * 10.65 rounded down, without 10.65's binary error.
    knobTop_ = (100 - value) * kKnobTravel / 100;
    value_ = value;
    update();
    Q_EMIT Scroll();
}

void MiniSlider::GetPic(const QPixmap& hostPicture) {
    hostPicture_ = hostPicture;
    SetBackground(hostPicture_, picturePosition_);
}

void MiniSlider::MovePic(int x, int y) {
    picturePosition_ = QPointF(x, y);
    SetBackground(hostPicture_, picturePosition_);
}

QPointF MiniSlider::KnobPosition() const { return QPointF(CentredAcross(Qt::Vertical), knobTop_); }

void MiniSlider::MoveKnob(double top) {
    knobTop_ = std::clamp(top, 0.0, double(kKnobTravel));
    value_ = int(RoundEven(100 - knobTop_ / kTwipsPerStep));
    update();
    Q_EMIT Scroll();
}

void MiniSlider::PartPressed(Part part, QPointF at, Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    if (part == Part::Track) MoveKnob(at.y() - kGrabCentre);
    if (part == Part::Knob) grabOffset_ = int(RoundEven(at.y()));
}

void MiniSlider::PartMoved(Part part, QPointF at, Qt::MouseButtons buttons) {
    Q_EMIT MouseOver();
    // Beyond the side window the knob waits until the pointer comes back.
    if (!LeftHeld(buttons) || !InDragWindow(at.x())) return;
    if (part == Part::Track) MoveKnob(at.y() - kGrabCentre);
    if (part == Part::Knob) MoveKnob(knobTop_ + at.y() - grabOffset_);
}

void MiniSlider::PartReleased(Part part, QPointF, Qt::MouseButton button) {
    if (part == Part::Track) {
        if (button == Qt::RightButton) Q_EMIT RightClick();
        Q_EMIT MouseUp();
    } else if (part == Part::Knob) {
        if (button == Qt::LeftButton) Q_EMIT MouseUp();
        if (button == Qt::RightButton) Q_EMIT RightClick();
    }
}

void MiniSlider::PaintLines(QPainter& painter) const {
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    for (const QLineF& line : kTickLines) DrawTwipsLine(painter, line);
}

}  // namespace corvane::appearance
