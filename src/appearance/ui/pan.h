#pragma once

#include "appearance/ui/knobcontrol.h"

namespace corvane::appearance {

// The horizontal pan knob: value -3360 (full left) to 3360 (full right), with a snap zone that
// makes the centre easy to hit. Fixed size 1065 x 255 twips.
class Pan : public KnobControl {
    Q_OBJECT

public:
    static constexpr int kWidthTwips = 1065;
    static constexpr int kHeightTwips = 255;
    static constexpr int kKnobTravel = 960;  // twips
    static constexpr int kKnobCentre = 480;
    static constexpr int kMaxValue = 3360;

    explicit Pan(QWidget* parent = nullptr);

    int Value() const { return value_; }
    double KnobLeft() const { return knobLeft_; }

    // True: no track and no background colour, so the host's face picture shows through.
    void MakeTrans(bool clear);
    bool IsTransparent() const { return Transparent(); }

Q_SIGNALS:
    void Scroll();
    void MouseOver();

protected:
    QPointF KnobPosition() const override;
    void PartPressed(Part part, QPointF at, Qt::MouseButton button) override;
    void PartMoved(Part part, QPointF at, Qt::MouseButtons buttons) override;
    void PartReleased(Part part, QPointF at, Qt::MouseButton button) override;
    void PartDoubleClicked(Part part, QPointF at, Qt::MouseButton button) override;
    void PaintLines(QPainter& painter) const override;

private:
    void UpdatePan();

    double knobLeft_ = kKnobCentre;
    int value_ = 0;
    int grabOffset_ = 0;
};

}  // namespace corvane::appearance
