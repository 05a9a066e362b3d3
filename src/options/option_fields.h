#pragma once

#include <QLatin1String>
#include <QString>
#include <array>

#include "appearance/colors.h"
#include "settings/keys.h"

// What the Options dialog's controls store and how their values are bounded; no widgets.
namespace corvane::options {

// The 48 colour boxes, six rows of eight, as stored colours (red in the low byte).
inline constexpr int kPaletteSize = 48;
const std::array<appearance::ColorValue, kPaletteSize>& Palette();
// The first box holding `color`; -1 when none does.
int PaletteIndexOf(appearance::ColorValue color);

// The scheme colour the palette edits, in the order of the "Item" buttons.
enum class ColorTarget { Led, Text, Back, Line, Hilite };
inline constexpr int kColorTargetCount = 5;
QLatin1String ColorKey(ColorTarget target);
appearance::ColorValue& ColorOf(appearance::SchemeColors& colors, ColorTarget target);
appearance::ColorValue ColorOf(const appearance::SchemeColors& colors, ColorTarget target);

// A number field with its spinner: the key it stores and its range.
struct NumberField {
    QLatin1String key;
    int min;
    int max;
};
inline constexpr NumberField kSpinUpField{keys::kSpinUp, 2, 12};
inline constexpr NumberField kNoRepField{keys::kNoRep, 0, 300};
inline constexpr NumberField kFadeSecondsField{keys::kFadeSeconds, 0, 10};
// The field's text as a number within its range; text that is no number counts as 0, as it
// does when typed into a spinner field.
int ClampField(const NumberField& field, const QString& text);

// "&Slow", "&Medium", "&Fast".
inline constexpr std::array<int, 3> kFadeSpeeds{25, 50, 100};
// The speed button for the crossfader's speed; -1 for a speed none of them gives.
int FadeSpeedIndex(int speed);

// "Priority": 1 for High (a 1 ms tick), 300 for Low.
inline constexpr int kHighPriorityValue = 1;
inline constexpr int kLowPriorityValue = 300;

// The buffer sizes the Audio tab offers, in frames.
inline constexpr std::array<int, 6> kBufferSizes{128, 256, 512, 1024, 2048, 4096};
// The latency one buffer gives at `rate`, in milliseconds.
double LatencyMs(int frames, int rate);
// "11.6 ms".
QString LatencyText(int frames, int rate);

}  // namespace corvane::options
