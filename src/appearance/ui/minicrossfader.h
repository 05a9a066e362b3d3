#pragma once

#include <QPixmap>

#include "appearance/ui/knobcontrol.h"

namespace corvane::engine {
class CrossfaderModel;
}

namespace corvane::appearance {

// The crossfader: a knob on a horizontal track that blends the left-assigned lines with the
// right-assigned ones. It paints and drives a CrossfaderModel, which owns the knob position,
// the levels and the auto-fade; the model must outlive the widget. Fixed size 2895 x 510 twips.
class MiniCrossfader : public KnobControl {
    Q_OBJECT

public:
    static constexpr int kWidthTwips = 2895;
    static constexpr int kHeightTwips = 510;

    explicit MiniCrossfader(engine::CrossfaderModel& model, QWidget* parent = nullptr);

    engine::CrossfaderModel& Model() const { return model_; }
    int LeftLevel() const;
    int RightLevel() const;
    int FadeSpeed() const;
    void SetFadeSpeed(int twipsPerTick);

    void AutoFadeLeft();
    void AutoFadeRight();
    void StopIt();
    void Reset();
    // The host's picture (a null pixmap when it has none), with the crossfader's position inside
    // it in twips.
    void GetPic(const QPixmap& hostPicture, int x, int y);

Q_SIGNALS:
    void LevelsChanged();
    void MouseOver();
    void FadeDone(bool atLeft);
    void RightClick();

protected:
    QPointF KnobPosition() const override;
    void PartPressed(Part part, QPointF at, Qt::MouseButton button) override;
    void PartMoved(Part part, QPointF at, Qt::MouseButtons buttons) override;
    void PartReleased(Part part, QPointF at, Qt::MouseButton button) override;
    void PartDoubleClicked(Part part, QPointF at, Qt::MouseButton button) override;
    void PaintLines(QPainter& painter) const override;

private:
    engine::CrossfaderModel& model_;
};

}  // namespace corvane::appearance
