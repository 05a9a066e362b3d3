#pragma once

#include <QColor>
#include <QPalette>
#include <QtGlobal>

#include "ombrel/export.h"

namespace corvane::ombrel {

// Colours travel as 32-bit values: red in the low byte, then green, then blue. A value with
// the top bit set names a system colour by its index in the low bits (0x8000000F is the
// button face); those follow the palette, so they change with the desktop theme.
constexpr quint32 kSystemColorFlag = 0x80000000u;

// True for every plain colour and for the system colours that have a palette counterpart.
OMBREL_EXPORT bool IsValidColorValue(quint32 value);

// The colour a value stands for under the given palette (its current colour group); an
// invalid QColor for a system index that does not exist.
OMBREL_EXPORT QColor ToQColor(quint32 value, const QPalette& palette);

// The plain 32-bit value of a colour (alpha dropped).
OMBREL_EXPORT quint32 ToColorValue(const QColor& color);

}  // namespace corvane::ombrel
