#include "options/option_fields.h"

#include <algorithm>
#include <cmath>

namespace corvane::options {

namespace {

// Written as on screen, red first; stored values put red in the low byte.
constexpr appearance::ColorValue Rgb(unsigned rgb) {
    return static_cast<appearance::ColorValue>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) |
                                               ((rgb & 0xFF) << 16));
}

constexpr std::array<appearance::ColorValue, kPaletteSize> kPalette{
    Rgb(0xFFFFFF), Rgb(0xFFC0C0), Rgb(0xFFE0C0), Rgb(0xFFFFC0), Rgb(0xC0FFC0), Rgb(0xC0FFFF),
    Rgb(0xC0C0FF), Rgb(0xFFC0FF), Rgb(0xE0E0E0), Rgb(0xFF8080), Rgb(0xFFC080), Rgb(0xFFFF80),
    Rgb(0x80FF80), Rgb(0x80FFFF), Rgb(0x8080FF), Rgb(0xFF80FF), Rgb(0xC0C0C0), Rgb(0xFF0000),
    Rgb(0xFF8000), Rgb(0xFFFF00), Rgb(0x00FF00), Rgb(0x00FFFF), Rgb(0x0000FF), Rgb(0xFF00FF),
    Rgb(0x808080), Rgb(0xC00000), Rgb(0xC04000), Rgb(0xC0C000), Rgb(0x00C000), Rgb(0x00C0C0),
    Rgb(0x0000C0), Rgb(0xC000C0), Rgb(0x404040), Rgb(0x800000), Rgb(0x804000), Rgb(0x808000),
    Rgb(0x008000), Rgb(0x008080), Rgb(0x000080), Rgb(0x800080), Rgb(0x000000), Rgb(0x400000),
    Rgb(0x804040), Rgb(0x404000), Rgb(0x004000), Rgb(0x004040), Rgb(0x000040), Rgb(0x400040)};

}  // namespace

const std::array<appearance::ColorValue, kPaletteSize>& Palette() { return kPalette; }

int PaletteIndexOf(appearance::ColorValue color) {
    const auto* found = std::find(kPalette.begin(), kPalette.end(), color);
    return found == kPalette.end() ? -1 : static_cast<int>(found - kPalette.begin());
}

QLatin1String ColorKey(ColorTarget target) {
    switch (target) {
        case ColorTarget::Led:
            return keys::kLedColor;
        case ColorTarget::Text:
            return keys::kTextColor;
        case ColorTarget::Back:
            return keys::kBackColor;
        case ColorTarget::Line:
            return keys::kLineColor;
        case ColorTarget::Hilite:
            return keys::kHiliteColor;
    }
    return keys::kLedColor;
}

appearance::ColorValue& ColorOf(appearance::SchemeColors& colors, ColorTarget target) {
    switch (target) {
        case ColorTarget::Led:
            return colors.led;
        case ColorTarget::Text:
            return colors.text;
        case ColorTarget::Back:
            return colors.back;
        case ColorTarget::Line:
            return colors.line;
        case ColorTarget::Hilite:
            return colors.hilite;
    }
    return colors.led;
}

appearance::ColorValue ColorOf(const appearance::SchemeColors& colors, ColorTarget target) {
    return ColorOf(const_cast<appearance::SchemeColors&>(colors), target);
}

int ClampField(const NumberField& field, const QString& text) {
    bool ok = false;
    // A double, so a long run of digits clamps to the top rather than reading as no number.
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || std::isnan(value)) return std::clamp(0, field.min, field.max);
    return static_cast<int>(std::clamp(std::trunc(value), double(field.min), double(field.max)));
}

int FadeSpeedIndex(int speed) {
    const auto* found = std::find(kFadeSpeeds.begin(), kFadeSpeeds.end(), speed);
    return found == kFadeSpeeds.end() ? -1 : static_cast<int>(found - kFadeSpeeds.begin());
}

double LatencyMs(int frames, int rate) { return rate > 0 ? 1000.0 * frames / rate : 0.0; }

QString LatencyText(int frames, int rate) {
    return QStringLiteral("%1 ms").arg(LatencyMs(frames, rate), 0, 'f', 1);
}

}  // namespace corvane::options
