#pragma once

#include <QColor>
#include <QFont>

#include "appearance/colors.h"

namespace corvane {
class Settings;
}

namespace corvane::app {

// The five colours the main window is drawn in, as QColors.
struct ColorScheme {
    QColor text;
    QColor led;
    QColor line;
    QColor back;
    QColor hilite;

    // An LED colour of -1 (none chosen) keeps the displays' own yellow.
    static ColorScheme FromValues(const appearance::SchemeColors& colors);
    // "Text Color", "LED Color", "Line Color", "Back Color", "Hilite Color".
    static ColorScheme FromSettings(const Settings& settings);
};

// A colour as the controls take it: red in the low byte, then green, then blue.
inline quint32 ColorValue(const QColor& color) {
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

// The fonts of the desk: small captions, and the clean fixed-width face of the time displays.
QFont CaptionFont();
QFont LedFont();

}  // namespace corvane::app
