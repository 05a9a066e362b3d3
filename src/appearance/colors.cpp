#include "appearance/colors.h"

#include <QList>

#include "settings/convert.h"
#include "settings/ini.h"
#include "settings/settings.h"

namespace corvane::appearance {
namespace {

const QString kColorsSection = QStringLiteral("Colors");
const QString kLinesSection = QStringLiteral("Lines");
const QString kVisibleKey = QStringLiteral("Visible");

// The colour file's keys, in the order the writer puts them.
struct ColorKey {
    QLatin1String name;
    ColorValue SchemeColors::*member;
};
constexpr ColorKey kColorKeys[] = {
    {QLatin1String("Text"), &SchemeColors::text},
    {QLatin1String("BackGround"), &SchemeColors::back},
    {QLatin1String("LED"), &SchemeColors::led},
    {QLatin1String("HiLite"), &SchemeColors::hilite},
    {QLatin1String("Lines"), &SchemeColors::line},
};

bool IsHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

ColorValue StoredColor(const Settings& settings, const QString& key, ColorValue fallback) {
    return TextToInt(settings.GetPref(key, QString())).value_or(fallback);
}

QString ValueOf(const QList<IniKeyValue>& keys, const QString& name) {
    const QString lower = name.toLower();
    for (const IniKeyValue& key : keys) {
        if (key.key == lower) return key.value.trimmed();
    }
    return QString();
}

}  // namespace

QString ParseColor(const QString& text) {
    if (text.size() != 6) return QStringLiteral("0");
    return QStringLiteral("&H") + text.mid(4, 2) + text.mid(2, 2) + text.mid(0, 2);
}

QString FormatColor(ColorValue color) {
    const QString h = QString::number(quint32(color) & 0xFFFFFFu, 16)
                          .toUpper()
                          .rightJustified(6, QLatin1Char('0'));
    return h.right(2) + h.mid(2, 2) + h.left(2);
}

std::optional<ColorValue> ColorFromLiteral(const QString& literal) {
    if (literal == QLatin1String("0")) return 0;
    if (!literal.startsWith(QLatin1String("&H")) || literal.size() != 8) return std::nullopt;
    const QStringView digits = QStringView(literal).mid(2);
    for (QChar c : digits) {
        if (!IsHexDigit(c)) return std::nullopt;
    }
    return ColorValue(digits.toUInt(nullptr, 16));
}

SchemeColors StoredSchemeColors(const Settings& settings, ColorValue ledDefault) {
    const SchemeColors defaults;
    SchemeColors colors;
    colors.text = StoredColor(settings, keys::kTextColor, defaults.text);
    colors.led = StoredColor(settings, keys::kLedColor, ledDefault);
    colors.line = StoredColor(settings, keys::kLineColor, defaults.line);
    colors.back = StoredColor(settings, keys::kBackColor, defaults.back);
    colors.hilite = StoredColor(settings, keys::kHiliteColor, defaults.hilite);
    return colors;
}

std::optional<FaceColors> ReadFaceColors(IniFiles& ini, const QString& file,
                                         const SchemeColors& current) {
    QList<IniKeyValue> colorKeys;
    // A file without its colours section (empty, unreadable, not an INI file) is no colour
    // file: blacking out the whole desk would help nobody.
    if (!ini.ReadSection(kColorsSection, file, colorKeys)) return std::nullopt;
    FaceColors face;
    face.colors = current;
    for (const ColorKey& key : kColorKeys) {
        const std::optional<ColorValue> color =
            ColorFromLiteral(ParseColor(ValueOf(colorKeys, key.name)));
        if (color) face.colors.*key.member = *color;
    }
    QList<IniKeyValue> lineKeys;
    if (ini.ReadSection(kLinesSection, file, lineKeys)) {
        face.linesVisible = TextToBool(ValueOf(lineKeys, kVisibleKey));
    }
    return face;
}

bool WriteFaceColors(IniFiles& ini, const QString& file, const SchemeColors& colors,
                     bool linesVisible) {
    QList<IniWrite> writes;
    for (const ColorKey& key : kColorKeys) {
        writes.append({kColorsSection, key.name, FormatColor(colors.*key.member)});
    }
    writes.append({kLinesSection, kVisibleKey, BoolToText(linesVisible)});
    return ini.WriteIni(writes, file);
}

}  // namespace corvane::appearance
