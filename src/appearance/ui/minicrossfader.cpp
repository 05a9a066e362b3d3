#include "appearance/ui/minicrossfader.h"

#include <QPainter>

#include "appearance/ui/units.h"
#include "engine/crossfader.h"

namespace corvane::appearance {

using engine::CrossfaderModel;

MiniCrossfader::MiniCrossfader(CrossfaderModel& model, QWidget* parent)
    : KnobControl(kWidthTwips, kHeightTwips, BuiltInPicture::CrossfaderKnob,
                  BuiltInPicture::CrossfaderTrack, parent),
      model_(model) {
    connect(&model_, &CrossfaderModel::LevelsChanged, this, [this] {
        update();
        Q_EMIT LevelsChanged();
    });
    connect(&model_, &CrossfaderModel::FadeDone, this, &MiniCrossfader::FadeDone);
}

int MiniCrossfader::LeftLevel() const { return model_.LeftLevel(); }
int MiniCrossfader::RightLevel() const { return model_.RightLevel(); }
int MiniCrossfader::FadeSpeed() const { return model_.FadeSpeed(); }
void MiniCrossfader::SetFadeSpeed(int twipsPerTick) { model_.SetFadeSpeed(twipsPerTick); }
void MiniCrossfader::AutoFadeLeft() { model_.AutoFadeLeft(); }
void MiniCrossfader::AutoFadeRight() { model_.AutoFadeRight(); }
void MiniCrossfader::StopIt() { model_.StopIt(); }
void MiniCrossfader::Reset() { model_.Reset(); }

void MiniCrossfader::GetPic(const QPixmap& hostPicture, int x, int y) {
    SetBackground(hostPicture, QPointF(x, y));
}

QPointF MiniCrossfader::KnobPosition() const {
    return QPointF(model_.KnobPosition(), CentredAcross(Qt::Horizontal));
}

void MiniCrossfader::PartPressed(Part part, QPointF at, Qt::MouseButton button) {
    // Taking hold of the knob or touching the track ends an auto-fade.
    if (part == Part::Knob && button == Qt::LeftButton) {
        model_.GrabKnob(at.x());
    } else if (part == Part::Track) {
        model_.StopIt();
    }
}

void MiniCrossfader::PartDoubleClicked(Part part, QPointF at, Qt::MouseButton button) {
    PartPressed(part, at, button);
    if (part == Part::Track) model_.Reset();
}

void MiniCrossfader::PartMoved(Part part, QPointF at, Qt::MouseButtons buttons) {
    if (part == Part::Surface) return;
    Q_EMIT MouseOver();
    if (part == Part::Knob && LeftHeld(buttons)) model_.DragKnob(at.x(), at.y());
}

void MiniCrossfader::PartReleased(Part part, QPointF, Qt::MouseButton button) {
    if (part != Part::Surface && button == Qt::RightButton) Q_EMIT RightClick();
}

void MiniCrossfader::PaintLines(QPainter& painter) const {
    // Scale marks under the knob's centre at the ends, the quarters and the middle.
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    const double half = KnobSize().width() / 2;
    for (int i = 0; i <= 4; ++i) {
        const double x = half + i * CrossfaderModel::kRightEnd / 4;
        const double mark = i == 2 ? 105 : 60;
        DrawTwipsLine(painter, QLineF(x, 0, x, mark));
        DrawTwipsLine(painter, QLineF(x, kHeightTwips - 15 - mark, x, kHeightTwips - 15));
    }
}

}  // namespace corvane::appearance
