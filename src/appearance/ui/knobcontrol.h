#pragma once

#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QWidget>

#include "appearance/ui/picture.h"

namespace corvane::appearance {

// What the slider, the pan knob and the crossfader have in common: a fixed size in twips, a
// track picture under a knob picture, an optional copy of the host's face picture behind both,
// decorative lines, and mouse events routed to the part that was pressed (the knob, the track
// or the bare surface) until every button is up again, as a drag needs.
class KnobControl : public QWidget {
    Q_OBJECT

public:
    // The knob and the track show text as their tooltip.
    void ToolTipChange(const QString& text);
    void ShowLines(bool show);
    bool LinesVisible() const { return linesVisible_; }
    // The knob picture from a file; the built-in knob when path is empty, names no file, or
    // cannot be read.
    void SetCap(const QString& path);
    bool HasBackgroundPicture() const { return !background_.isNull(); }

protected:
    enum class Part { Surface, Track, Knob };

    KnobControl(int widthTwips, int heightTwips, BuiltInPicture knob, BuiltInPicture track,
                QWidget* parent);

    // The knob's top-left corner, in twips from the control's corner.
    virtual QPointF KnobPosition() const = 0;
    // The knob picture's size in twips.
    QSizeF KnobSize() const;
    // Where a knob of the current picture sits when centred across the control (twips).
    double CentredAcross(Qt::Orientation travel) const;
    // Positions are in twips from the top-left corner of the part that gets the event.
    virtual void PartPressed(Part part, QPointF at, Qt::MouseButton button) = 0;
    virtual void PartMoved(Part part, QPointF at, Qt::MouseButtons buttons) = 0;
    virtual void PartReleased(Part part, QPointF at, Qt::MouseButton button) = 0;
    // A double-click stands for the second press unless a control says otherwise.
    virtual void PartDoubleClicked(Part part, QPointF at, Qt::MouseButton button);
    // Lines in twips, drawn above the track and below the knob while lines are shown.
    virtual void PaintLines(QPainter& painter) const = 0;

    // The host's picture placed at -offset (twips), so the part behind the control shows.
    void SetBackground(const QPixmap& picture, QPointF offsetTwips);
    QPointF BackgroundOffset() const { return backgroundOffset_; }
    // Transparent: neither the background colour nor the track is painted.
    void SetTransparent(bool transparent);
    bool Transparent() const { return transparent_; }
    // A line of the design (twips) drawn one logical pixel wide with the painter's colour,
    // centred on its pixel so it stays crisp.
    static void DrawTwipsLine(QPainter& painter, QLineF twips);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Part PartAt(QPointF twips) const;
    Part Capture(QPointF twips);
    QPointF InPart(Part part, QPointF twips) const;

    ControlPicture knob_;
    ControlPicture track_;
    BuiltInPicture builtInKnob_;
    QPixmap background_;
    QPointF backgroundOffset_;
    bool linesVisible_ = true;
    bool transparent_ = false;
    Part captured_ = Part::Surface;
    bool capturing_ = false;
};

}  // namespace corvane::appearance
