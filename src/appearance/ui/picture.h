#pragma once

#include <QPixmap>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <memory>
#include <optional>

class QPainter;
class QSvgRenderer;

namespace corvane::appearance {

// The program's own drawings (data/pictures). The W pictures are the unlit, clickable halves of
// a pair; R (red) and G (green) are the lit halves that show the chosen state.
enum class BuiltInPicture {
    CrossfaderKnob,  // resource 101
    SliderKnob,      // resource 102
    SliderTrack,
    PanTrack,
    PanKnob,
    CrossfaderTrack,
    Open,
    Play,
    Stop,
    LoopW,
    LoopR,
    FadeLeftW,
    FadeLeftR,
    FadeRightW,
    FadeRightR,
    OnW,
    OnG,
    AutoPlay,
    AutoStop,
    AutoNext,
};

// The resource path of a built-in drawing, e.g. ":/pictures/knob101.svg".
QString BuiltInPicturePath(BuiltInPicture picture);

// A raster picture file (BMP, JPEG, GIF, PNG); null when it cannot be read.
QPixmap ReadRasterPicture(const QString& path);

// A picture a control paints: a built-in SVG drawing or a face's picture file. SVG is rendered
// for the device pixel ratio it is painted at, so it stays crisp at 2x; the last rendering is
// kept, since a control repaints far more often than the ratio changes.
class ControlPicture {
public:
    ControlPicture() = default;
    static ControlPicture BuiltIn(BuiltInPicture picture);
    // BMP, JPEG, GIF, PNG or SVG; nothing when the file is missing or unreadable.
    static std::optional<ControlPicture> FromFile(const QString& path);

    bool IsNull() const;
    // Logical pixels.
    QSizeF Size() const;
    // Paints with the top-left corner at topLeft (logical pixels), snapped to a device pixel.
    void Paint(QPainter& painter, QPointF topLeft) const;

private:
    static std::optional<ControlPicture> Load(const QString& path);

    std::shared_ptr<QSvgRenderer> svg_;
    QPixmap raster_;
    mutable QPixmap rendered_;
};

}  // namespace corvane::appearance
