#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace corvane::engine {

// Minutes shown on a time display never go above this.
inline constexpr int kMaxDisplayMinutes = 99;

// The texts the main tick shows for one line.
struct LineTimeTexts {
    QString remaining;  // "- 2:51", or "0:00" at the very end
    QString elapsed;    // "1:09"
    QString status;     // "- 2:51 Remaining, 1:09 Elapsed."
};

// Whole seconds as minutes ":" two-digit seconds, minutes capped at 99; negative counts as 0.
QString MinutesSecondsText(int seconds);
// Seconds rounded to a whole number (halves to even), below 0 counting as 0.
int WholeSeconds(double seconds);
LineTimeTexts TimeTextsFor(double position, double duration);
// What a line's time display shows.
inline const QString& TimeCaption(const LineTimeTexts& texts, bool remain) {
    return remain ? texts.remaining : texts.elapsed;
}

// The clock on line 7: "m-d-yyyy   h:mm AM".
QString ClockCaption(const QDateTime& now);
// The clock's tooltip, "Saturday, December 5, 2026", names in the locale's language.
QString ClockToolTip(const QDate& today, const QLocale& locale = QLocale());

}  // namespace corvane::engine
