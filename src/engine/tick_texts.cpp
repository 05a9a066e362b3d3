#include "engine/tick_texts.h"

#include <algorithm>

#include "engine/volume_law.h"

namespace corvane::engine {

QString MinutesSecondsText(int seconds) {
    seconds = std::max(seconds, 0);
    const int minutes = std::min(seconds / 60, kMaxDisplayMinutes);
    return QStringLiteral("%1:%2").arg(minutes).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int WholeSeconds(double seconds) {
    // Also keeps a NaN or huge figure from a confused player out of the integer conversion.
    if (!(seconds > 0.0)) return 0;
    if (seconds > 1.0e9) return 1'000'000'000;
    return RoundHalfEven(seconds);
}

LineTimeTexts TimeTextsFor(double position, double duration) {
    LineTimeTexts texts;
    const int remaining = WholeSeconds(duration - position);
    // Both parts are zero exactly when the rounded remaining time is.
    texts.remaining = remaining == 0 ? MinutesSecondsText(0)
                                     : QStringLiteral("- ") + MinutesSecondsText(remaining);
    texts.elapsed = MinutesSecondsText(WholeSeconds(position));
    texts.status = texts.remaining + QStringLiteral(" Remaining, ") + texts.elapsed +
                   QStringLiteral(" Elapsed.");
    return texts;
}

QString ClockCaption(const QDateTime& now) {
    // AM/PM markers stay English whatever the locale, like the date order.
    const QLocale c = QLocale::c();
    return c.toString(now.date(), QStringLiteral("M-d-yyyy")) + QStringLiteral("   ") +
           c.toString(now.time(), QStringLiteral("h:mm AP"));
}

QString ClockToolTip(const QDate& today, const QLocale& locale) {
    return locale.toString(today, QStringLiteral("dddd, MMMM d, yyyy"));
}

}  // namespace corvane::engine
