#include "app/color_scheme.h"

#include "appearance/ui/units.h"
#include "settings/settings.h"

namespace corvane::app {

namespace {

constexpr quint32 kLedYellow = 65535;

QColor StoredColor(const Settings& settings, const QString& key) {
    return appearance::ColorFromValue(static_cast<quint32>(settings.GetInt(key)));
}

}  // namespace

ColorScheme ColorScheme::FromSettings(const Settings& settings) {
    ColorScheme scheme;
    scheme.text = StoredColor(settings, keys::kTextColor);
    const int led = settings.GetInt(keys::kLedColor);
    scheme.led = appearance::ColorFromValue(led == -1 ? kLedYellow : static_cast<quint32>(led));
    scheme.line = StoredColor(settings, keys::kLineColor);
    scheme.back = StoredColor(settings, keys::kBackColor);
    scheme.hilite = StoredColor(settings, keys::kHiliteColor);
    return scheme;
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
