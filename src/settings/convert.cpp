#include "settings/convert.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace corvane {

std::optional<bool> TextToBool(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    const std::optional<double> number = TextToDouble(trimmed);
    if (!number) return std::nullopt;
    return *number != 0.0;
}

std::optional<int> TextToInt(QStringView text) {
    const QStringView trimmed = text.trimmed();
    bool ok = false;
    const int whole = trimmed.toInt(&ok, 10);
    if (ok) return whole;
    const std::optional<double> number = TextToDouble(trimmed);
    if (!number) return std::nullopt;
    const double rounded = std::nearbyint(*number);
    if (rounded < double(std::numeric_limits<int>::min()) ||
        rounded > double(std::numeric_limits<int>::max()))
        return std::nullopt;
    return int(rounded);
}

std::optional<double> TextToDouble(QStringView text) {
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number)) return std::nullopt;
    return number;
}

QString BoolToText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

QString DoubleToText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

}  // namespace corvane
