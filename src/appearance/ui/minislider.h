#pragma once

#include <QPixmap>

#include "appearance/ui/knobcontrol.h"

namespace corvane::appearance {

// The vertical volume slider: a knob on a track, value 0 (knob at the bottom) to 100 (top).
// Fixed size 615 x 1500 twips.
class MiniSlider : public KnobControl {
    Q_OBJECT

public:
    static constexpr int kWidthTwips = 615;
    static constexpr int kHeightTwips = 1500;
    static constexpr int kKnobTravel = 1065;  // twips; 10.65 per value step
    static constexpr int kGrabCentre = 230;   // a press on the track centres the knob here

    explicit MiniSlider(QWidget* parent = nullptr);

    int Value() const { return value_; }
    double KnobTop() const { return knobTop_; }

    // Values outside 0 to 100 are ignored; others move the knob and raise Scroll.
    void SetValue(int value);
    // The host's current picture (a null pixmap when it has none), shown behind the slider at
    // the position given by MovePic.
    void GetPic(const QPixmap& hostPicture);
    // x, y: the slider's position inside the host's picture, in twips.
    void MovePic(int x, int y);

Q_SIGNALS:
    void Scroll();
    void MouseOver();
    void MouseUp();
    void RightClick();

protected:
    QPointF KnobPosition() const override;
    void PartPressed(Part part, QPointF at, Qt::MouseButton button) override;
    void PartMoved(Part part, QPointF at, Qt::MouseButtons buttons) override;
    void PartReleased(Part part, QPointF at, Qt::MouseButton button) override;
    void PaintLines(QPainter& painter) const override;

private:
    void MoveKnob(double top);

    double knobTop_ = kKnobTravel;
    int value_ = 0;
    int grabOffset_ = 0;
    QPixmap hostPicture_;
    QPointF picturePosition_;
};

}  // namespace corvane::appearance
