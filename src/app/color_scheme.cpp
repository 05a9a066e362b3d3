#include "app/color_scheme.h"

#include "appearance/ui/units.h"
#include "settings/settings.h"

namespace corvane::app {

namespace {

constexpr quint32 kLedYellow = 65535;

QColor ColorOf(appearance::ColorValue value) {
    return appearance::ColorFromValue(static_cast<quint32>(value));
}

}  // namespace

ColorScheme ColorScheme::FromValues(const appearance::SchemeColors& colors) {
    ColorScheme scheme;
    scheme.text = ColorOf(colors.text);
    scheme.led = colors.led == appearance::kNoColor ? appearance::ColorFromValue(kLedYellow)
                                                    : ColorOf(colors.led);
    scheme.line = ColorOf(colors.line);
    scheme.back = ColorOf(colors.back);
    scheme.hilite = ColorOf(colors.hilite);
    return scheme;
}

ColorScheme ColorScheme::FromSettings(const Settings& settings) {
    return FromValues(appearance::StoredSchemeColors(settings));
}

QFont CaptionFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    return font;
}

QFont LedFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

}  // namespace corvane::app
