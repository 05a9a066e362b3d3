#pragma once

#include <QColor>
#include <QMouseEvent>
#include <QPointF>
#include <QtGlobal>
#include <cmath>

// Shared measures of the desk's painted controls. Geometry is kept in twips as doubles so the
// rounding rules hold exactly; pixels appear only where Qt hands us a position or we paint.
namespace corvane::appearance {

// A twip is 1/1440 inch; laid out at 96 logical dots per inch, 15 twips make a pixel. Every
// conversion between twips and pixels goes through here.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kLogicalDpi = 96;
inline constexpr int kWholeTwipsPerPixel = kTwipsPerInch / kLogicalDpi;
inline constexpr double kTwipsPerPixel = kWholeTwipsPerPixel;

inline constexpr int TwipsToPixels(int twips) { return twips / kWholeTwipsPerPixel; }
inline int RoundTwipsToPixels(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }
inline constexpr int PixelsToTwips(int px) { return px * kWholeTwipsPerPixel; }
inline QPointF PixelsToTwips(QPointF px) { return px * kTwipsPerPixel; }

// Nearest whole number, halves to even (the default floating-point rounding mode).
inline double RoundEven(double value) { return std::nearbyint(value); }

// "State 1 or 3": the left button held, alone or with the right one, but not the middle.
inline bool LeftHeld(Qt::MouseButtons buttons) {
    return (buttons & (Qt::LeftButton | Qt::MiddleButton)) == Qt::LeftButton;
}

// A stored colour value: red in the low byte, then green, then blue.
inline QColor ColorFromValue(quint32 value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// The desk's default scheme.
inline constexpr quint32 kDefaultTextColor = 14737632;  // light grey E0E0E0
inline constexpr quint32 kDefaultLineColor = 4210752;   // dark grey 404040
inline constexpr quint32 kDefaultHiliteColor = 255;     // red

}  // namespace corvane::appearance
