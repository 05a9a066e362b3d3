#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The text forms of stored values: how settings and INI values turn into Booleans and numbers
// and back. Surrounding blanks are ignored; text that does not convert gives no value.
namespace corvane {

// "True" or "False" in any case, or a number, which is true when it is not zero.
std::optional<bool> TextToBool(QStringView text);
// A whole number; a fraction is rounded to the nearest whole number, halves to even.
std::optional<int> TextToInt(QStringView text);
// A finite decimal number, with a '.' as the decimal point.
std::optional<double> TextToDouble(QStringView text);

QString BoolToText(bool value);
// The shortest decimal text that reads back as the same double.
QString DoubleToText(double value);

}  // namespace corvane
