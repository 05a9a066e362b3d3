#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace corvane {
class IniFiles;
class Settings;
}  // namespace corvane

namespace corvane::appearance {

// A colour as the program stores it: red in the low byte, then green, then blue. -1 stands for
// "none chosen" (an LED colour the user never picked).
using ColorValue = qint32;

inline constexpr ColorValue kNoColor = -1;
// The LED colour a face without its own colours gets when the user never chose one.
inline constexpr ColorValue kFaceLedColor = 16776960;  // cyan

// Six hexadecimal digits in the order red, green, blue become the colour literal "&H" with the
// pairs in the order blue, green, red; any other length gives "0".
QString ParseColor(const QString& text);
// The colour as six upper-case hexadecimal digits in the order red, green, blue. Only the low
// 24 bits count, so -1 gives "FFFFFF".
QString FormatColor(ColorValue color);
// The colour a literal of ParseColor's stands for; nothing when the digits are not hexadecimal.
std::optional<ColorValue> ColorFromLiteral(const QString& literal);

// The five colours the main window is drawn in.
struct SchemeColors {
    ColorValue text = 14737632;  // light grey
    ColorValue led = kNoColor;
    ColorValue line = 4210752;  // dark grey
    ColorValue back = 0;        // black
    ColorValue hilite = 255;    // red

    friend bool operator==(const SchemeColors&, const SchemeColors&) = default;
};

// The scheme in the settings store; ledDefault stands in for a missing or unreadable
// "LED Color" (a face without colours of its own brings cyan).
SchemeColors StoredSchemeColors(const Settings& settings, ColorValue ledDefault = kNoColor);

// What a face's "colors.txt" holds.
struct FaceColors {
    SchemeColors colors;
    // Nothing when "Visible" is missing or neither True nor False.
    std::optional<bool> linesVisible;
};

// Reads a face's colour file. A value that is not six characters long reads as black; one
// that holds other characters than hexadecimal digits keeps the colour `current` has. Nothing
// when the file does not exist.
std::optional<FaceColors> ReadFaceColors(IniFiles& ini, const QString& file,
                                         const SchemeColors& current);
// Writes the scheme and the dividing lines' switch with one atomic rewrite of the file; the
// file's other sections and keys stay. False when it could not be written (the old file is
// then untouched).
bool WriteFaceColors(IniFiles& ini, const QString& file, const SchemeColors& colors,
                     bool linesVisible);

}  // namespace corvane::appearance
